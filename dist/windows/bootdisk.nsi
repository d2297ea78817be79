; SPDX-License-Identifier: GPL-3.0-or-later
; The Windows installer (NSIS 3): an installation for all users in Program Files, a Start-menu
; shortcut to the wizard and an uninstaller registered with Windows. scripts/installer runs
; makensis with VERSION, ARCH (win32 or win64), STAGE (the installed tree), ICON, SIZE_KB,
; OUTFILE, and FILES and REMOVALS: include files that install and remove the tree's files one by
; one, so that the uninstaller removes what was installed and nothing else.
; The 64-bit build's installer is a 64-bit program itself: it starts only where that build runs,
; and sees the 64-bit Program Files and registry.
!if ${ARCH} == win64
  Target amd64-unicode
!else
  Unicode true
!endif
SetCompressor /SOLID lzma
!include "MUI2.nsh"

!define PRODUCT "Quellmark Boot Disk Creator"
!define PUBLISHER "Halvex Labs"
!define SHORTCUT "$SMPROGRAMS\${PRODUCT}.lnk"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\bootdisk"
!if ${ARCH} == win64
  !define PROGRAMS "$PROGRAMFILES64"
!else
  !define PROGRAMS "$PROGRAMFILES"
!endif

Name "${PRODUCT}"
OutFile "${OUTFILE}"
RequestExecutionLevel admin
InstallDir "${PROGRAMS}\${PUBLISHER}\bootdisk"
BrandingText "${PRODUCT} ${VERSION}"
VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=0 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=0 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileDescription" "${PRODUCT} setup"
VIAddVersionKey /LANG=0 "LegalCopyright" "GNU GPL version 3 or later"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\bootdisk-wizard.exe"
!insertmacro MUI_PAGE_LICENSE "${STAGE}\license.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "German"

; For every user of the computer: the shortcut goes to the Start menu of all users.
Function .onInit
  SetShellVarContext all
FunctionEnd

Function un.onInit
  SetShellVarContext all
FunctionEnd

Section
  !include "${FILES}"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  SetOutPath "$INSTDIR"
  CreateShortCut "${SHORTCUT}" "$INSTDIR\bootdisk-wizard.exe" "" "$INSTDIR\bootdisk-wizard.exe" 0
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\bootdisk-wizard.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" ${SIZE_KB}
SectionEnd

Section "Uninstall"
  Delete "${SHORTCUT}"
  !include "${REMOVALS}"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  ; The publisher's folder, when nothing else is in it.
  RMDir "${PROGRAMS}\${PUBLISHER}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
