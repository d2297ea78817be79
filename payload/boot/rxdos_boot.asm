; SPDX-License-Identifier: GPL-3.0-or-later
; Boot sector of the free-DOS image ".Boot": loads RXDOSBIO.SYS.
%define SYSFILE "RXDOSBIOSYS"
%define VOLUME_ID 0x424F4F54
%define VOLUME_LABEL "NO NAME    "
%include "bootsect.asm"
