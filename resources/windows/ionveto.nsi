; The Windows installer: `makensis` run by scripts/package-windows.sh with
;   -DVERSION=x.y  -DVERSION4=x.y.z.w  -DSTAGE=<the portable folder>  -DOUTFILE=<setup.exe>
;   -DFILES=<uninstall list, generated from the folder>
; Installs for every user into Program Files, makes the Start-menu entry and
; the entry in the list of installed programs; `/S` installs silently. The
; uninstaller removes only what was installed: the contestants' work in
; %APPDATA%\ionveto stays.
Target amd64-unicode   ; a 64-bit installer for the 64-bit programs
!include MUI2.nsh
!include x64.nsh

!define NAME "Ionvető"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Ionveto"

Name "${NAME}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${NAME}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
BrandingText "${NAME} ${VERSION}"

VIProductVersion "${VERSION4}"
VIAddVersionKey /LANG=1038 "ProductName" "${NAME}"
VIAddVersionKey /LANG=1038 "FileDescription" "${NAME} ${VERSION} telepítő"
VIAddVersionKey /LANG=1038 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1038 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1038 "LegalCopyright" "© 2026 az Ionvető fejlesztői"

!define MUI_ICON "${STAGE}\ionveto.ico"
!define MUI_UNICON "${STAGE}\ionveto.ico"
!define MUI_FINISHPAGE_RUN "$INSTDIR\ionveto.exe"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${STAGE}\licenses\README.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Hungarian"

Function .onInit
  ${IfNot} ${RunningX64}
    MessageBox MB_ICONSTOP "Az ${NAME} 64 bites Windowst igényel." /SD IDOK
    Abort
  ${EndIf}
  SetRegView 64
FunctionEnd

Function un.onInit
  SetRegView 64
FunctionEnd

Section "${NAME}"
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  File /r "${STAGE}\*.*"
  ; Written last: its presence marks this folder as an installed copy, whose
  ; work folders live in %APPDATA%\ionveto, not beside the program.
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\${NAME}.lnk" "$INSTDIR\ionveto.exe" "" "$INSTDIR\ionveto.ico" 0
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${NAME}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\ionveto.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "az Ionvető fejlesztői"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  SetShellVarContext all
  Delete "$SMPROGRAMS\${NAME}.lnk"
  ; Only the installed files, one by one: a folder the user chose may hold more.
  !include "${FILES}"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
