; The Windows installer: a per-user install (no administrator), both
; programs, their language file, help, README and licences, a Start-menu
; entry, "Open with Skeinpress" for .texture, .tga, .bmp, .jpg, .jpeg and .png
; files, and
; an uninstaller that takes away exactly what this put there.
;
; Built by scripts/windows-installer.sh, which defines:
;   VERSION   the program's version, e.g. 1.22
;   STAGE     the unpacked zip: the programs, English.txt, help\, licenses\ ...
;   FILES     an include file listing STAGE's files as install and uninstall
;             commands (File and Delete), so nothing is left that it put there
;   ICON      the programs' icon
;   OUTFILE   the installer to write
;
; Silent: "skeinpress-VERSION-setup.exe /S" installs (/D=FOLDER last, to pick
; the folder); "uninstall.exe /S" removes, keeping the user's settings and
; trawl log in %APPDATA%\skeinpress unless /REMOVESETTINGS is given too.
;
; Layout: bin\ holds the programs and share\skeinpress\ their language file
; and help, as on Linux; a program with that data folder beside it keeps its
; settings in %APPDATA%\skeinpress, where the uninstaller leaves them.

Unicode true
; A 64-bit installer for 64-bit programs; it also runs under Wine's wine64,
; which has no 32-bit side.
Target amd64-unicode
ManifestDPIAware true
RequestExecutionLevel user
SetCompressor /SOLID lzma

!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"

!define APP "Skeinpress"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Skeinpress"
!define STATE_KEY "Software\Skeinpress\Installer"
!define CLASSES "Software\Classes"
!define PROGID "Skeinpress.Image"
!define VERB "skeinpress"

Name "${APP} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Skeinpress"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${APP} ${VERSION}"

VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=1033 "ProductName" "${APP}"
VIAddVersionKey /LANG=1033 "FileDescription" "${APP} ${VERSION} setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "CompanyName" "The Skeinpress developers"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (c) The Skeinpress developers. MIT licence."

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\bin\skeinpress.exe"
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\README-Windows.txt"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; One extension: offered in Explorer's "Open with" list and given the verb
; "Open with Skeinpress", which sits beside whatever opens it by default.
!macro Associate EXT
  WriteRegStr HKCU "${CLASSES}\${EXT}\OpenWithProgids" "${PROGID}" ""
  WriteRegStr HKCU "${CLASSES}\SystemFileAssociations\${EXT}\shell\${VERB}" "" "Open with Skeinpress"
  WriteRegStr HKCU "${CLASSES}\SystemFileAssociations\${EXT}\shell\${VERB}" "Icon" \
      '"$INSTDIR\bin\skeinpress.exe",0'
  WriteRegStr HKCU "${CLASSES}\SystemFileAssociations\${EXT}\shell\${VERB}\command" "" \
      '"$INSTDIR\bin\skeinpress.exe" "%1"'
  WriteRegStr HKCU "${CLASSES}\Applications\skeinpress.exe\SupportedTypes" "${EXT}" ""
!macroend

!macro Unassociate EXT
  DeleteRegValue HKCU "${CLASSES}\${EXT}\OpenWithProgids" "${PROGID}"
  DeleteRegKey /ifempty HKCU "${CLASSES}\${EXT}\OpenWithProgids"
  DeleteRegKey HKCU "${CLASSES}\SystemFileAssociations\${EXT}\shell\${VERB}"
  DeleteRegKey /ifempty HKCU "${CLASSES}\SystemFileAssociations\${EXT}\shell"
  DeleteRegKey /ifempty HKCU "${CLASSES}\SystemFileAssociations\${EXT}"
  DeleteRegKey /ifempty HKCU "${CLASSES}\SystemFileAssociations"
  DeleteRegKey /ifempty HKCU "${CLASSES}\${EXT}"
!macroend

Section "Skeinpress" SecMain
  SectionIn RO
  SetOutPath "$INSTDIR"
  !define INSTALL_FILES
  !include "${FILES}"
  !undef INSTALL_FILES
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateShortcut "$SMPROGRAMS\Skeinpress.lnk" "$INSTDIR\bin\skeinpress.exe" "" \
      "$INSTDIR\bin\skeinpress.exe" 0 SW_SHOWNORMAL "" "View and convert Trainz textures"

  ; The class the verbs and the "Open with" entries name.
  WriteRegStr HKCU "${CLASSES}\${PROGID}" "" "Trainz texture or image"
  WriteRegStr HKCU "${CLASSES}\${PROGID}\DefaultIcon" "" '"$INSTDIR\bin\skeinpress.exe",0'
  WriteRegStr HKCU "${CLASSES}\${PROGID}\shell\open\command" "" '"$INSTDIR\bin\skeinpress.exe" "%1"'
  WriteRegStr HKCU "${CLASSES}\Applications\skeinpress.exe" "FriendlyAppName" "Skeinpress"
  WriteRegStr HKCU "${CLASSES}\Applications\skeinpress.exe\shell\open\command" "" \
      '"$INSTDIR\bin\skeinpress.exe" "%1"'
  !insertmacro Associate ".texture"
  !insertmacro Associate ".tga"
  !insertmacro Associate ".bmp"
  !insertmacro Associate ".jpg"
  !insertmacro Associate ".jpeg"
  !insertmacro Associate ".png"

  ; A .texture nothing else opens is opened by Skeinpress on a double-click;
  ; one another program already opens stays with it (the verb is still there).
  ReadRegStr $0 HKCR ".texture" ""
  ${If} $0 == ""
    WriteRegStr HKCU "${CLASSES}\.texture" "" "${PROGID}"
    WriteRegDWORD HKCU "${STATE_KEY}" "TextureDefault" 1
  ${EndIf}
  WriteRegStr HKCU "${STATE_KEY}" "Version" "${VERSION}"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Skeinpress ${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "The Skeinpress developers"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" '"$INSTDIR\bin\skeinpress.exe",0'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0

  ; Explorer reads the associations again.
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd

Section "un.Skeinpress" UnSecMain
  SectionIn RO
  ; Only the files the installer wrote, then each folder if it is empty:
  ; whatever else the user keeps there stays.
  !define UNINSTALL_FILES
  !include "${FILES}"
  !undef UNINSTALL_FILES
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  ; Made by the install when it was not there; removed only if empty.
  RMDir "$LOCALAPPDATA\Programs"
  Delete "$SMPROGRAMS\Skeinpress.lnk"

  ReadRegDWORD $0 HKCU "${STATE_KEY}" "TextureDefault"
  ReadRegStr $1 HKCU "${CLASSES}\.texture" ""
  ${If} $0 == 1
  ${AndIf} $1 == "${PROGID}"
    DeleteRegValue HKCU "${CLASSES}\.texture" ""
  ${EndIf}
  !insertmacro Unassociate ".texture"
  !insertmacro Unassociate ".tga"
  !insertmacro Unassociate ".bmp"
  !insertmacro Unassociate ".jpg"
  !insertmacro Unassociate ".jpeg"
  !insertmacro Unassociate ".png"
  DeleteRegKey HKCU "${CLASSES}\${PROGID}"
  DeleteRegKey HKCU "${CLASSES}\Applications\skeinpress.exe"
  DeleteRegKey /ifempty HKCU "${CLASSES}\Applications"
  DeleteRegKey HKCU "${STATE_KEY}"
  DeleteRegKey /ifempty HKCU "Software\Skeinpress"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd

; Off unless chosen (or /REMOVESETTINGS on a silent uninstall's command line).
Section /o "un.My settings and trawl log" UnSecSettings
  RMDir /r "$APPDATA\skeinpress"
SectionEnd

!insertmacro MUI_UNFUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${UnSecMain} "The programs, their files and the file associations."
  !insertmacro MUI_DESCRIPTION_TEXT ${UnSecSettings} \
      "Also delete skeinpress.ini, the trawl log and the rest of $APPDATA\skeinpress."
!insertmacro MUI_UNFUNCTION_DESCRIPTION_END

Function un.onInit
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/REMOVESETTINGS" $1
  ${IfNot} ${Errors}
    SectionSetFlags ${UnSecSettings} ${SF_SELECTED}
  ${EndIf}
FunctionEnd
