; SPDX-License-Identifier: GPL-3.0-or-later
; The demo system file (RXDOSBIO.SYS on the free-DOS image, IO.SYS in the MS-DOS folder). It stands
; in for DOS: it reads the disk it was booted from (drive number in dl, loaded at 1000h:0000h), shows
; the two configuration files the boot disk creator wrote, on the screen and on COM1, and halts.
    cpu 386
    bits 16
    org 0

fat_buffer  equ 0x4000          ; up to 12 FAT sectors
dir_buffer  equ 0x6000          ; up to 14 directory sectors
data_buffer equ 0x8000          ; one cluster, up to 16 sectors
max_fat_sectors equ 12
max_dir_sectors equ 14
max_cluster_sectors equ 16

start:
    cli
    mov ax, cs
    mov ds, ax
    mov es, ax
    mov ss, ax
    mov sp, 0xFFFE
    sti
    cld
    mov [bs_drive], dl
    call init_serial
    mov si, msg_banner
    call puts
    call detect_lba
    call read_layout
    jc .disk_error

    call read_root
    jc .disk_error
    mov si, name_autoexec
    call find_entry
    jc .no_autoexec
    call print_file
    jc .disk_error
    jmp .ini
.no_autoexec:
    mov si, msg_no_autoexec
    call puts

.ini:
    mov si, name_korvane
    call enter_directory
    jc .no_ini
    mov si, name_data
    call enter_directory
    jc .no_ini
    mov si, name_ini
    call find_entry
    jc .no_ini
    call print_file
    jc .disk_error
    jmp .done
.no_ini:
    mov si, msg_no_ini
    call puts
    jmp .done

.disk_error:
    mov si, msg_disk
    call puts
.done:
    mov si, msg_done
    call puts
    xor al, al
    out 0xF4, al                    ; ends an emulator run at once; nothing listens there on a PC
.halt:
    cli
    hlt
    jmp .halt

; COM1 at 115200 baud, 8 data bits, no parity, one stop bit.
init_serial:
    mov dx, 0x3F9
    xor al, al
    out dx, al                      ; no interrupts
    mov dl, 0xFB
    mov al, 0x80
    out dx, al                      ; divisor latch
    mov dl, 0xF8
    mov al, 1
    out dx, al
    inc dx
    xor al, al
    out dx, al
    mov dl, 0xFB
    mov al, 3
    out dx, al
    mov dl, 0xFA
    mov al, 0xC7
    out dx, al                      ; FIFO on and cleared
    mov dl, 0xFC
    mov al, 3
    out dx, al                      ; DTR, RTS
    ret

; Reads the boot sector and the first FAT; sets the layout words. CF on a read error or a layout
; this program cannot hold.
read_layout:
    xor ax, ax
    mov bx, data_buffer
    call read_sector
    jc .done
    mov ax, [bx + 0x18]
    test ax, ax
    jz .bad
    mov [bpb_spt], ax
    mov ax, [bx + 0x1A]
    test ax, ax
    jz .bad
    mov [bpb_heads], ax
    mov cl, [bx + 0x0D]
    test cl, cl
    jz .bad
    cmp cl, max_cluster_sectors
    ja .bad
    mov [spc], cl
    mov ax, [bx + 0x0E]
    mov [fat_start], ax
    mov cx, [bx + 0x16]
    test cx, cx
    jz .bad
    cmp cx, max_fat_sectors
    ja .bad
    mov [fat_sectors], cx
    mov al, [bx + 0x10]
    cbw
    mul cx
    add ax, [fat_start]
    mov [root_start], ax
    mov cx, [bx + 0x11]
    add cx, 15
    shr cx, 4
    cmp cx, max_dir_sectors
    ja .bad
    mov [root_sectors], cx
    add ax, cx
    mov [data_start], ax
    mov ax, [fat_start]
    mov bx, fat_buffer
    mov cx, [fat_sectors]
    jmp read_run
.bad:
    stc
.done:
    ret

; Reads cx sectors from sector ax on into bx on.
read_run:
    call read_sector
    jc .done
    inc ax
    add bx, 512
    loop read_run
    clc
.done:
    ret

read_root:
    mov ax, [root_start]
    mov bx, dir_buffer
    mov cx, [root_sectors]
    mov [dir_entries], cx
    shl word [dir_entries], 4
    jmp read_run

; The sector where cluster ax starts.
cluster_sector:
    push dx
    sub ax, 2
    mov dl, [spc]
    xor dh, dh
    mul dx
    add ax, [data_start]
    pop dx
    ret

; The cluster that follows cluster ax in the FAT; CF when ax is the last one (or out of range).
next_cluster:
    push bx
    mov bx, ax
    shr bx, 1
    add bx, ax                      ; byte offset of the entry in the FAT
    push ax
    mov ax, [fat_sectors]
    shl ax, 9
    dec ax
    cmp bx, ax
    pop ax
    jae .last
    test al, 1
    mov ax, [fat_buffer + bx]
    jz .even
    shr ax, 4
.even:
    and ax, 0x0FFF
    cmp ax, 2
    jb .last
    cmp ax, 0x0FF7
    jae .last
    pop bx
    clc
    ret
.last:
    pop bx
    stc
    ret

; Looks up the 11-character name at si among the dir_entries entries in the directory buffer.
; Returns the entry in di, CF when absent.
find_entry:
    mov di, dir_buffer
    mov cx, [dir_entries]
.entry:
    cmp byte [di], 0
    je .absent
    test byte [di + 11], 0x08       ; volume labels and long-name entries
    jnz .skip
    pusha
    mov cx, 11
    repe cmpsb
    popa
    je .found
.skip:
    add di, 32
    loop .entry
.absent:
    stc
    ret
.found:
    clc
    ret

; Replaces the directory buffer's contents with the subdirectory named at si.
enter_directory:
    call find_entry
    jc .done
    test byte [di + 11], 0x10
    jz .absent
    mov ax, [di + 26]
    cmp ax, 2
    jb .absent
    mov bx, dir_buffer
    mov word [dir_entries], 0
.cluster:
    mov dl, [spc]
    xor dh, dh
    shl dx, 4                       ; entries in one cluster
    add dx, [dir_entries]
    cmp dx, max_dir_sectors * 16
    ja .full
    push ax
    call cluster_sector
    mov cl, [spc]
    xor ch, ch
    call read_run
    pop ax
    jc .done
    mov dl, [spc]
    xor dh, dh
    shl dx, 4
    add [dir_entries], dx
    call next_cluster
    jnc .cluster
.full:
    clc
    ret
.absent:
    stc
.done:
    ret

; Prints the file whose entry is at di, following its cluster chain. CF on a read error.
; At most 64 KB: a damaged entry or a looping chain cannot keep it printing.
print_file:
    mov ax, [di + 26]
    mov bp, [di + 28]               ; bytes left
    cmp word [di + 30], 0
    je .cluster
    mov bp, 0xFFFF
.cluster:
    test bp, bp
    jz .done
    cmp ax, 2
    jb .done
    push ax
    call cluster_sector
    mov bx, data_buffer
    mov cl, [spc]
    xor ch, ch
    call read_run
    pop ax
    jc .error
    mov cl, [spc]
    xor ch, ch
    shl cx, 9                       ; bytes in this cluster
    cmp bp, cx
    jae .print
    mov cx, bp
.print:
    sub bp, cx
    mov si, data_buffer
.byte:
    push ax
    lodsb
    call putc
    pop ax
    loop .byte
    call next_cluster
    jnc .cluster
.done:
    clc
    ret
.error:
    stc
    ret

%include "disk.inc"
%include "putc.inc"

bs_drive     db 0
bs_lba       db 0
spc          db 1
bpb_spt      dw 18
bpb_heads    dw 2
fat_start    dw 1
fat_sectors  dw 9
root_start   dw 19
root_sectors dw 14
data_start   dw 33
dir_entries  dw 0

name_autoexec db "AUTOEXECBAT"
name_korvane  db "KORVANE    "
name_data     db "DATA       "
name_ini      db "KORVANE INI"
msg_banner    db "Demo payload boot check: the sanitizer is not included.", 13, 10, 0
msg_no_autoexec db "NOT FOUND: AUTOEXEC.BAT", 13, 10, 0
msg_no_ini    db "NOT FOUND: KORVANE\DATA\KORVANE.INI", 13, 10, 0
msg_disk      db "DISK READ ERROR", 13, 10, 0
msg_done      db "BOOT CHECK DONE", 13, 10, 0
