; Setup program of the Cadmora Interpreter for 64-bit Windows.
; The build passes VERSION, FILES (the generated list of the files to
; install), ICON and OUTFILE; see installer.cmake.
; Silent: setup.exe /S [/ADDTOPATH] [/D=folder] and uninstall.exe /S.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"
!include "Sections.nsh"
!include "StrFunc.nsh"
!include "WinMessages.nsh"
!include "${FILES}"

!define PRODUCT "Cadmora Interpreter"
; cdmgui finds its folder in this key's default value.
!define INSTALL_KEY "SOFTWARE\Morvane\Cadmora Interpreter"
!define UNINSTALL_KEY "SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Cadmora Interpreter"
!define PROGRAM_CLASS "Morvane.CadmoraProgram"
; cdmgui reads at most 255 characters of its folder's name.
!define LONGEST_FOLDER 255
; The system-wide PATH, which the optional component extends.
!define ENVIRONMENT_KEY "SYSTEM\CurrentControlSet\Control\Session Manager\Environment"
; Registry texts longer than this do not fit into a variable of the setup,
; and writing such a PATH back would cut it short.
!define LONGEST_PATH_TEXT 1020

${StrStr}
${UnStrStr}
${UnStrRep}

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
RequestExecutionLevel admin
ShowInstDetails show
BrandingText "${PRODUCT} ${VERSION}"
VIProductVersion "${VERSION}.0"
VIAddVersionKey ProductName "${PRODUCT}"
VIAddVersionKey ProductVersion "${VERSION}"
VIAddVersionKey CompanyName "Morvane"
VIAddVersionKey LegalCopyright "Morvane"
VIAddVersionKey FileDescription "${PRODUCT} setup"
VIAddVersionKey FileVersion "${VERSION}"

Var BoardLibraryNote

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_TEXT "${PRODUCT} ${VERSION} is installed in $INSTDIR.$\r$\n$\r$\n$BoardLibraryNote"
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; The programs are 64-bit and read the 64-bit registry.
Function un.onInit
  SetRegView 64
FunctionEnd

Function .onVerifyInstDir
  StrLen $0 $INSTDIR
  ${If} $0 > ${LONGEST_FOLDER}
    Abort
  ${EndIf}
FunctionEnd

; A morvapi.dll in the folder is the emulator this setup put there only when
; its file time is the one recorded at that installation. Any other is the
; user's (the board maker's library) and is neither replaced nor removed.
!macro DEFINE_IS_OUR_BOARD_LIBRARY prefix
Function ${prefix}is_our_board_library
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "BoardEmulatorTime"
  ClearErrors
  GetFileTime "$INSTDIR\morvapi.dll" $1 $2
  ${If} ${Errors}
  ${OrIf} $0 != "$1.$2"
    Push 0
  ${Else}
    Push 1
  ${EndIf}
FunctionEnd
!macroend
!insertmacro DEFINE_IS_OUR_BOARD_LIBRARY ""
!insertmacro DEFINE_IS_OUR_BOARD_LIBRARY "un."

Function install_board_library
  ${If} ${FileExists} "$INSTDIR\morvapi.dll"
    Call is_our_board_library
    Pop $0
    ${If} $0 == 0
      DeleteRegValue HKLM "${UNINSTALL_KEY}" "BoardEmulatorTime"
      StrCpy $BoardLibraryNote "The morvapi.dll that was already in this folder has been kept: the programs use it to reach the board. The board emulator was not installed."
      DetailPrint "Kept the morvapi.dll already in $INSTDIR."
      Return
    ${EndIf}
  ${EndIf}
  File "${BOARD_LIBRARY}"
  GetFileTime "$INSTDIR\morvapi.dll" $1 $2
  WriteRegStr HKLM "${UNINSTALL_KEY}" "BoardEmulatorTime" "$1.$2"
  StrCpy $BoardLibraryNote "The board emulator morvapi.dll is installed, so the programs work without a board. To use a board, put the board maker's morvapi.dll in its place."
FunctionEnd

; libcadmora for C: cadmora.dll beside the programs, cadmora.h in include,
; the import library and the export list in lib. The Python package in
; python\cadmora, with its own cadmora.dll and a copy of the board library
; the programs use (the emulator, or the user's kept above), beside its
; modules, where the package looks for them first.
Function install_library
  SetOutPath "$INSTDIR"
  File "${LIBRARY}"
  SetOutPath "$INSTDIR\include"
  File "${HEADER}"
  SetOutPath "$INSTDIR\lib"
  File "${IMPORT_LIBRARY}"
  File "${EXPORT_LIST}"
  SetOutPath "$INSTDIR\python\cadmora"
  !insertmacro INSTALL_PYTHON_MODULES
  File "${LIBRARY}"
  CopyFiles /SILENT "$INSTDIR\morvapi.dll" "$INSTDIR\python\cadmora"
FunctionEnd

; cdmgui writes its settings into this file at exit, and ordinary users may
; not change files under Program Files: the Users group (S-1-5-32-545) may
; change this one file.
Function create_settings_file
  ${IfNot} ${FileExists} "$INSTDIR\interpreter.cfg"
    FileOpen $0 "$INSTDIR\interpreter.cfg" w
    FileWrite $0 "100.0$\r$\nfalse"
    FileClose $0
  ${EndIf}
  nsExec::ExecToLog '"$SYSDIR\icacls.exe" "$INSTDIR\interpreter.cfg" /grant *S-1-5-32-545:(M)'
  Pop $0
  ${If} $0 != 0
    DetailPrint "Ordinary users may be unable to save the settings: icacls ended with $0."
  ${EndIf}
FunctionEnd

Function register_file_association
  WriteRegStr HKLM "Software\Classes\.cdm" "" "${PROGRAM_CLASS}"
  WriteRegStr HKLM "Software\Classes\${PROGRAM_CLASS}" "" "Cadmora timing program"
  WriteRegStr HKLM "Software\Classes\${PROGRAM_CLASS}\DefaultIcon" "" "$INSTDIR\cdmgui.exe,0"
  WriteRegStr HKLM "Software\Classes\${PROGRAM_CLASS}\shell\open\command" "" '"$INSTDIR\cdmgui.exe" "%1"'
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
FunctionEnd

Function register_uninstaller
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Morvane"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\cdmgui.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
FunctionEnd

Section "${PRODUCT}" main_section
  SectionIn RO
  ; The Next button refuses such a folder; /D= in silent mode does not ask.
  StrLen $0 $INSTDIR
  ${If} $0 > ${LONGEST_FOLDER}
    MessageBox MB_OK|MB_ICONSTOP "The folder's name is longer than ${LONGEST_FOLDER} characters: $INSTDIR" /SD IDOK
    SetErrorLevel 2
    Abort
  ${EndIf}
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  !insertmacro INSTALL_PROGRAMS
  Call install_board_library
  SetOutPath "$INSTDIR\Doc"
  File "${HELP_PAGE}"
  File "${HELP_IMAGE}"
  SetOutPath "$INSTDIR\examples"
  !insertmacro INSTALL_EXAMPLES
  Call install_library
  SetOutPath "$INSTDIR"
  Call create_settings_file
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\cdmgui.exe"
  CreateShortcut "$SMPROGRAMS\${PRODUCT} Help.lnk" "$INSTDIR\Doc\index.html"
  CreateShortcut "$SMPROGRAMS\${PRODUCT} Examples.lnk" "$INSTDIR\examples"
  Call register_file_association
  WriteRegStr HKLM "${INSTALL_KEY}" "" "$INSTDIR"
  Call register_uninstaller
  DetailPrint "$BoardLibraryNote"
SectionEnd

; Off unless chosen on the components page, or with /ADDTOPATH when silent.
Section /o "Add the installation folder to PATH" path_section
  Call add_to_path
SectionEnd

Function .onInit
  SetRegView 64
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/ADDTOPATH" $1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${path_section}
  ${EndIf}
FunctionEnd

; Appends the folder to the system PATH unless it is there already, and
; records that it did, so that the uninstaller takes out what was added.
; A PATH too long to read whole is left alone rather than cut short.
Function add_to_path
  ReadRegStr $0 HKLM "${ENVIRONMENT_KEY}" "Path"
  StrLen $1 $0
  StrLen $2 $INSTDIR
  IntOp $1 $1 + $2
  ${If} $1 > ${LONGEST_PATH_TEXT}
    DetailPrint "PATH is too long for the setup to change; add $INSTDIR to it by hand."
    Return
  ${EndIf}
  ${StrStr} $1 ";$0;" ";$INSTDIR;"
  ${If} $1 != ""
    DetailPrint "$INSTDIR is on PATH already."
    Return
  ${EndIf}
  StrCpy $1 $0 "" -1
  ${If} $0 == ""
  ${OrIf} $1 == ";"
    StrCpy $0 "$0$INSTDIR"
  ${Else}
    StrCpy $0 "$0;$INSTDIR"
  ${EndIf}
  WriteRegExpandStr HKLM "${ENVIRONMENT_KEY}" "Path" $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "AddedToPath" 1
  SendMessage ${HWND_BROADCAST} ${WM_SETTINGCHANGE} 0 "STR:Environment" /TIMEOUT=5000
  DetailPrint "Added $INSTDIR to PATH."
FunctionEnd

Function un.remove_from_path
  ReadRegDWORD $0 HKLM "${UNINSTALL_KEY}" "AddedToPath"
  ${If} $0 != 1
    Return
  ${EndIf}
  ReadRegStr $0 HKLM "${ENVIRONMENT_KEY}" "Path"
  StrLen $1 $0
  ${If} $1 > ${LONGEST_PATH_TEXT}
    DetailPrint "PATH is too long for the uninstaller to change; remove $INSTDIR from it by hand."
    Return
  ${EndIf}
  ${UnStrStr} $1 ";$0;" ";$INSTDIR;"
  ${If} $1 == ""
    Return
  ${EndIf}
  ${UnStrRep} $0 ";$0;" ";$INSTDIR;" ";"
  ; Without the semicolons put around it for the search.
  StrCpy $0 $0 "" 1
  StrCpy $0 $0 -1
  WriteRegExpandStr HKLM "${ENVIRONMENT_KEY}" "Path" $0
  SendMessage ${HWND_BROADCAST} ${WM_SETTINGCHANGE} 0 "STR:Environment" /TIMEOUT=5000
FunctionEnd

; Removes what the setup installed, by name: a user's own files in these
; folders, and a morvapi.dll of the user's, stay.
Section "Uninstall"
  SetShellVarContext all
  !insertmacro REMOVE_PROGRAMS
  Call un.is_our_board_library
  Pop $0
  ${If} $0 == 1
    Delete "$INSTDIR\morvapi.dll"
  ${EndIf}
  Delete "$INSTDIR\Doc\index.html"
  Delete "$INSTDIR\Doc\timing-view.png"
  RMDir "$INSTDIR\Doc"
  !insertmacro REMOVE_EXAMPLES
  RMDir "$INSTDIR\examples"
  Delete "$INSTDIR\cadmora.dll"
  Delete "$INSTDIR\include\cadmora.h"
  RMDir "$INSTDIR\include"
  Delete "$INSTDIR\lib\libcadmora.dll.a"
  Delete "$INSTDIR\lib\cadmora.def"
  RMDir "$INSTDIR\lib"
  ; What Python wrote into __pycache__ goes with the modules.
  !insertmacro REMOVE_PYTHON_MODULES
  RMDir "$INSTDIR\python\cadmora\__pycache__"
  Delete "$INSTDIR\python\cadmora\cadmora.dll"
  Delete "$INSTDIR\python\cadmora\morvapi.dll"
  RMDir "$INSTDIR\python\cadmora"
  RMDir "$INSTDIR\python"
  Delete "$INSTDIR\interpreter.cfg"
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  Delete "$SMPROGRAMS\${PRODUCT} Help.lnk"
  Delete "$SMPROGRAMS\${PRODUCT} Examples.lnk"
  Call un.remove_from_path

  ReadRegStr $0 HKLM "Software\Classes\.cdm" ""
  ${If} $0 == "${PROGRAM_CLASS}"
    DeleteRegValue HKLM "Software\Classes\.cdm" ""
    DeleteRegKey /ifempty HKLM "Software\Classes\.cdm"
  ${EndIf}
  DeleteRegKey HKLM "Software\Classes\${PROGRAM_CLASS}"
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'

  DeleteRegKey HKLM "${INSTALL_KEY}"
  DeleteRegKey /ifempty HKLM "SOFTWARE\Morvane"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
SectionEnd
