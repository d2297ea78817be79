; SPDX-License-Identifier: GPL-3.0-or-later
; Boot sector of the empty MS-DOS disk ".BOOTRECORD": loads IO.SYS.
%define SYSFILE "IO      SYS"
%define VOLUME_ID 0x44534B53
%define VOLUME_LABEL "DSKSANIT   "
%include "bootsect.asm"
