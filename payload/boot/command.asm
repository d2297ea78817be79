; SPDX-License-Identifier: GPL-3.0-or-later
; The demo folder's COMMAND.COM: a DOS program that says what it is and ends.
    bits 16
    org 0x100

    mov dx, text
    mov ah, 0x09
    int 0x21
    mov ax, 0x4C00
    int 0x21

text db "Demo COMMAND.COM: the sanitizer is not included.", 13, 10, "$"
