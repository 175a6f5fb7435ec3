; Torvane's per-user installer: lays down exactly what Quellix removes, without elevation.
; The build passes OUTFILE, TARGET (x86-unicode or amd64-unicode), KORVEX_EXE, QUELLIX_EXE and
; SYSCTRL_DAT with -D. Quellix is the uninstaller; this script writes none of its own.

Unicode true
Target ${TARGET}
RequestExecutionLevel user
SetCompressor /SOLID lzma

!define TITLE "Torvane"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\VelkGame2"

Name "${TITLE}"
OutFile "${OUTFILE}"
; The place is fixed: Quellix looks for the files there.
InstallDir "$LOCALAPPDATA\VelkGame2"
ShowInstDetails show

Page instfiles

Section "Torvane"
  SetShellVarContext current
  SetOutPath "$INSTDIR"
  File "/oname=Korvex.exe" "${KORVEX_EXE}"
  File "/oname=Quellix.exe" "${QUELLIX_EXE}"
  File "/oname=sysctrl.dat" "${SYSCTRL_DAT}"

  CreateShortCut "$DESKTOP\${TITLE}.lnk" "$INSTDIR\Korvex.exe"
  CreateDirectory "$SMPROGRAMS\${TITLE}"
  CreateShortCut "$SMPROGRAMS\${TITLE}\${TITLE}.lnk" "$INSTDIR\Korvex.exe"
  CreateShortCut "$SMPROGRAMS\${TITLE}\卸载${TITLE}.lnk" "$INSTDIR\Quellix.exe"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${TITLE}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Quellix.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Quellix.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd
