; The Windows setup program: installs Lunvex Chinese Zodiac Compatibility
; under Program Files with the Qt and MinGW libraries it loads, its fonts and
; licences, a Start-menu shortcut and an uninstaller listed in Add/Remove
; Programs. Both run silently with /S.
;
; scripts/windows fills the staging folder and writes the list of files to
; remove again, then runs:
;   makensis -DSTAGE=<staging folder> -DOUTFILE=<setup.exe> -DFILES=<list>
;            -DSIZE_KB=<size> -DICON=<lunvex-zodiac.ico> windows/installer.nsi
Unicode true
; The 64-bit stub: the default 32-bit one does not start under 64-bit Wine.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true

!ifndef STAGE
  !error "STAGE: the folder the program was staged in"
!endif
!ifndef OUTFILE
  !define OUTFILE "lunvex-zodiac-2.10-setup.exe"
!endif

; The program's own icon, built with it, for the setup program and the uninstaller.
!ifdef ICON
  Icon "${ICON}"
  UninstallIcon "${ICON}"
!endif

!define PRODUCT "Lunvex Chinese Zodiac Compatibility"
!define VERSION "2.10"
!define PUBLISHER "Lunvex"
!define EXE "lunvex-zodiac.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\LunvexChineseZodiacCompatibility"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"
VIProductVersion "2.10.0.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "FileDescription" "${PRODUCT} setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "2026 ${PUBLISHER}"

Page license
Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles
LicenseData "${STAGE}/licences/LICENCE.txt"

Function .onInit
  SetRegView 64
FunctionEnd

Function un.onInit
  SetRegView 64
FunctionEnd

Section "Install"
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  File /r "${STAGE}/*"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortCut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\${EXE}" "" "$INSTDIR\${EXE}" 0

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${EXE}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" ${SIZE_KB}
SectionEnd

Section "Uninstall"
  SetShellVarContext all
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  ; Only the files this setup put there: a folder the user chose may hold others.
  !include "${FILES}"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
