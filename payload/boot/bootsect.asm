; SPDX-License-Identifier: GPL-3.0-or-later
; Boot sector of a 1.44 MB FAT12 floppy. It finds SYSFILE in the root directory, loads it whole to
; 1000h:0000h and jumps there with dl = the drive number of this boot sector (byte 36), as a DOS boot
; record does, so that a copy made for a hard disk reads the hard disk. The system file must lie in
; consecutive clusters; the system files are the first files written to a fresh disk, so they do.
; The including file defines SYSFILE (the 11-character directory name), VOLUME_ID and VOLUME_LABEL.
    cpu 386
    bits 16
    org 0x7C00

load_segment equ 0x1000
dir_buffer   equ 0x0500

    jmp short start
    nop
oem_name      db "BOOTDISK"
bpb_bytes     dw 512
bpb_spc       db 1
bpb_reserved  dw 1
bpb_fats      db 2
bpb_rootents  dw 224
bpb_sectors   dw 2880
bpb_media     db 0xF0
bpb_spf       dw 9
bpb_spt       dw 18
bpb_heads     dw 2
bpb_hidden    dd 0
bpb_sectors32 dd 0
bs_drive      db 0
bs_lba        db 0          ; reserved byte of the boot record, used while booting
bs_signature  db 0x29
bs_volume_id  dd VOLUME_ID
bs_label      db VOLUME_LABEL
bs_fs_type    db "FAT12   "

start:
    cli
    xor ax, ax
    mov ds, ax
    mov es, ax
    mov ss, ax
    mov sp, 0x7C00
    sti
    cld
    call detect_lba

    mov al, [bpb_fats]
    cbw
    mul word [bpb_spf]
    add ax, [bpb_reserved]          ; first root directory sector
    mov cx, [bpb_rootents]
    shr cx, 4                       ; root directory sectors
    mov bp, ax
    add bp, cx                      ; first data sector

.root_sector:
    mov bx, dir_buffer
    call read_sector
    jc disk_error
    mov di, bx
.entry:
    pusha
    mov si, sys_name
    mov cx, 11
    repe cmpsb
    popa
    je found
    add di, 32
    cmp di, dir_buffer + 512
    jb .entry
    inc ax
    loop .root_sector
    mov si, msg_missing
    jmp fail

found:
    mov ax, [di + 28]
    mov dx, [di + 30]
    add ax, 511
    adc dx, 0
    shrd ax, dx, 9
    mov cx, ax                      ; sectors to load
    jcxz .start
    mov al, [bpb_spc]
    cbw
    mov bx, [di + 26]
    sub bx, 2
    mul bx
    add ax, bp                      ; first sector of the file
    mov bx, load_segment
    mov es, bx
    xor bx, bx
.load:
    call read_sector
    jc disk_error
    inc ax
    mov dx, es
    add dx, 512 / 16
    mov es, dx
    loop .load
.start:
    mov dl, [bs_drive]
    jmp load_segment:0

disk_error:
    mov si, msg_disk
fail:
    call puts
    mov al, 1
    out 0xF4, al                    ; ends an emulator run at once; nothing listens there on a PC
    xor ax, ax
    int 0x16
    int 0x19

%include "disk.inc"
%include "putc.inc"

sys_name    db SYSFILE
msg_disk    db "Disk read error", 13, 10, 0
msg_missing db "System file missing", 13, 10, 0

    times 510 - ($ - $$) db 0
    dw 0xAA55
