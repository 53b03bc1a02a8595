; Windows installer of the Orvelle router set-up wizard (Tarvo.exe and its library).
;
; Built by tools/package:
;   makensis -DVERSION=1.0.0 -DPAYLOAD=<folder with the delivered files> -DOUTFILE=<setup.exe> Tarvo.nsi
;
; It puts the program into "Program Files\Tolvik Nordhaven", its shortcuts into the
; all-users Start-menu group "Tolvik Vessaro\QX7100ZR" and its entry into the list of
; installed programs (HKLM, 64-bit view): exactly what "Tarvo.exe /U" removes again, so
; the install folder is fixed (no folder page) and nothing else is written. The entry's
; key name is the one the removal deletes (kUninstallKey in wizard/Cleanup.h).
; "/S" installs silently.

; A 64-bit installer for the 64-bit program: it runs wherever the program can.
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!ifndef VERSION
  !error "define VERSION, PAYLOAD and OUTFILE (see the head of this file)"
!endif
!ifndef PAYLOAD
  !error "define VERSION, PAYLOAD and OUTFILE (see the head of this file)"
!endif
!ifndef OUTFILE
  !error "define VERSION, PAYLOAD and OUTFILE (see the head of this file)"
!endif

!define PRODUCT "Orvelle Router Setup Wizard"
!define GROUP "$SMPROGRAMS\Tolvik Vessaro\QX7100ZR"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Orvelle Router Setup Wizard"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
Icon "${__FILEDIR__}/../Tarvo.ico"
InstallDir "$PROGRAMFILES64\Tolvik Nordhaven"
BrandingText "${PRODUCT} ${VERSION}"
ShowInstDetails show

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "CompanyName" "Orvelle"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (C) Orvelle"

Page instfiles

Section "Program"
  ; The group belongs to all users, as the removal looks for it there.
  SetShellVarContext all

  SetOutPath "$INSTDIR"
  File "${PAYLOAD}/Tarvo.exe"
  File "${PAYLOAD}/Keplo.dll"
  File "${PAYLOAD}/Keplo.lib"
  SetOutPath "$INSTDIR\LANG"
  File "${PAYLOAD}/LANG/*.ini"
  SetOutPath "$INSTDIR\IMG"
  File "${PAYLOAD}/IMG/*.jpg"

  ; Shortcuts start in the program folder.
  SetOutPath "$INSTDIR"
  CreateDirectory "${GROUP}"
  CreateShortCut "${GROUP}\${PRODUCT}.lnk" "$INSTDIR\Tarvo.exe" "" "$INSTDIR\Tarvo.exe" 0
  CreateShortCut "${GROUP}\Uninstall.lnk" "$INSTDIR\Tarvo.exe" "/U" "$INSTDIR\Tarvo.exe" 0

  ; Listed among the installed programs; removing it there runs the program's own removal.
  SetRegView 64
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Orvelle"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Tarvo.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Tarvo.exe" /U'
  ; The removal has no modify or repair mode.
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd
