; Ombrevane's setup: one exe that installs the program for the current user, without
; administrator rights, into %LOCALAPPDATA%\Programs\Ombrevane (bin\, config\, help\), with a
; Start menu entry and an uninstaller registered under the user's Uninstall key.
;
; Built by the Windows build (installer/CMakeLists.txt):
;   makensis -DVERSION=a.b.c.d -DSTAGE=<staged installation> -DICON=<icon> -DOUTFILE=<setup.exe>
;            -DCONTROLLER_HEADER=<src/controller/ControllerWindow.h>
;            [-DSHIP_CONFIG when the stage's config\ holds files besides settings files]
;
; A running Ombrevane holds its exe and inputward.dll open, so the setup and the uninstaller
; first end every instance the way the program's own Exit does: message 2240 to the controller
; window of the instance on "Default", whose exit routine ends the instances of all desktops.

Unicode true
; The 64-bit stub: also the only one that runs under a 64-bit-only Wine.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true
ManifestSupportedOS all

!ifndef VERSION | STAGE | ICON | OUTFILE | CONTROLLER_HEADER
  !error "define VERSION, STAGE, ICON, OUTFILE and CONTROLLER_HEADER"
!endif

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Ombrevane"
!define RUN_KEY "SOFTWARE\Microsoft\Windows\CurrentVersion\Run"
!define MARKER_KEY "SOFTWARE\Tolvarine\TileSwitch"
!define COMPANY_KEY "SOFTWARE\Tolvarine"
; The controller's class name and exit message, read from the program's own header.
!searchparse /file "${CONTROLLER_HEADER}" 'kControllerClassName[] = "' CONTROLLER_CLASS '";'
!searchparse /file "${CONTROLLER_HEADER}" 'WM_INTERNAL_EXITALL = ' WM_INTERNAL_EXITALL ';'
; How long the instances get to end (they show hidden windows again on the way out).
!define END_WAIT_MS 20000
!define SYNCHRONIZE 0x00100000
!define FILE_MAP_READ 4

Name "Ombrevane"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Ombrevane"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "Tolvarine Ombrevane ${VERSION}"
ShowInstDetails show
ShowUninstDetails show

Var WasRunning   ; instances found running before the files were replaced
Var StillRunning ; instances that did not end within the wait
; Process handles of the instances of desktops 1 to 5 (0: none).
Var Proc0
Var Proc1
Var Proc2
Var Proc3
Var Proc4

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Start Ombrevane"
!define MUI_FINISHPAGE_RUN_FUNCTION StartOmbrevane
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\help\Ombrevane.chm"
!define MUI_FINISHPAGE_SHOWREADME_TEXT "Read the help"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!define MUI_COMPONENTSPAGE_TEXT_TOP "Ombrevane is ended on every desktop and removed. Your settings (desktop names, passwords, startup programs and options) are kept unless you tick their removal."
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

VIProductVersion "${VERSION}"
VIFileVersion "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "Ombrevane"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "Tolvarine"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "Ombrevane Setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "Copyright (C) Tolvarine"

; --- Ending the running instances (installer and uninstaller) ---------------------------------

!macro OMBREVANE_ENDING un

; A handle to the process of the instance registered for desktop $R1 into $R3 (0: none). Each
; instance lists itself in the named shared memory "Jcl<desktop>tileswitch_Map" (count at
; offset 2, first process id at offset 4).
Function ${un}InstanceOf
  StrCpy $R3 0
  System::Call 'kernel32::OpenFileMappingW(i ${FILE_MAP_READ}, i 0, w "Jcl$R1tileswitch_Map") p .r1'
  ${If} $1 P<> 0
    System::Call 'kernel32::MapViewOfFile(p r1, i ${FILE_MAP_READ}, i 0, i 0, p 8) p .r2'
    ${If} $2 P<> 0
      System::Call '*$2(&i2 .r3, &i2 .r4, i .r5)'
      System::Call 'kernel32::UnmapViewOfFile(p r2)'
      ${If} $4 > 0
      ${AndIf} $5 <> 0
        System::Call 'kernel32::OpenProcess(i ${SYNCHRONIZE}, i 0, i r5) p .R3'
      ${EndIf}
    ${EndIf}
    System::Call 'kernel32::CloseHandle(p r1)'
  ${EndIf}
FunctionEnd

; Starts the command line $R8 of the program $R7 on the desktop "Default", whatever desktop this
; process runs on; waits up to $R9 ms for it to end (0: does not wait). $R9 becomes 1 when it
; started, else 0.
Function ${un}RunOnDefault
  System::Call '*(&w16 "Default") p .r1'
  System::Alloc 104 ; STARTUPINFOW, zeroed
  Pop $2
  System::Call '*$2(i 104, i 0, p 0, p r1)'
  System::Alloc 24 ; PROCESS_INFORMATION
  Pop $3
  System::Call 'kernel32::CreateProcessW(w R7, w R8, p 0, p 0, i 0, i 0, p 0, p 0, p r2, p r3) i .r4'
  ${If} $4 <> 0
    System::Call '*$3(p .r5, p .r6)'
    ${If} $R9 > 0
      System::Call 'kernel32::WaitForSingleObject(p r5, i R9)'
    ${EndIf}
    System::Call 'kernel32::CloseHandle(p r5)'
    System::Call 'kernel32::CloseHandle(p r6)'
    StrCpy $R9 1
  ${Else}
    StrCpy $R9 0
  ${EndIf}
  System::Free $3
  System::Free $2
  System::Free $1
FunctionEnd

; Posts the exit message to the controller window of this process's own desktop, if any.
Function ${un}PostExitHere
  FindWindow $1 "${CONTROLLER_CLASS}"
  ${If} $1 <> 0
    System::Call 'user32::PostMessageW(p r1, i ${WM_INTERNAL_EXITALL}, p 0, p 0)'
  ${EndIf}
FunctionEnd

; Asks the instance on "Default" to end all instances. A window of another desktop cannot be
; found from here, so when this process runs elsewhere (the user may run the setup on any
; desktop) a copy of it started on "Default" with /POSTEXIT posts the message there; the exit
; routine of that instance then leaves the user on the desktop where they are.
Function ${un}PostExitOnDefault
  System::Call 'kernel32::GetCurrentThreadId() i .r1'
  System::Call 'user32::GetThreadDesktop(i r1) p .r2'
  System::Call 'user32::GetUserObjectInformationW(p r2, i 2, w .r3, i ${NSIS_MAX_STRLEN}, *i .r4)'
  ${If} $3 == "Default"
    Call ${un}PostExitHere
  ${Else}
    StrCpy $R7 "$EXEPATH"
    !if "${un}" == "un."
      ; The uninstaller runs from its copy in the temporary folder; _?= keeps that copy from
      ; copying itself again.
      StrCpy $R8 '"$EXEPATH" /POSTEXIT _?=$INSTDIR'
    !else
      StrCpy $R8 '"$EXEPATH" /POSTEXIT'
    !endif
    StrCpy $R9 10000
    Call ${un}RunOnDefault
  ${EndIf}
FunctionEnd

; Run as the copy of PostExitOnDefault: post and end before anything is shown.
Function ${un}PostExitIfAsked
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/POSTEXIT" $1
  ${IfNot} ${Errors}
    Call ${un}PostExitHere
    Quit
  ${EndIf}
FunctionEnd

; Waits for the process $R3 (if any) until the tick count $R4; counts it in $WasRunning and,
; when it has not ended, in $StillRunning.
Function ${un}AwaitInstance
  ${If} $R3 P<> 0
    IntOp $WasRunning $WasRunning + 1
    System::Call 'kernel32::GetTickCount() i .r1'
    IntOp $1 $R4 - $1
    ; Clamped, so a tick count that wraps during the wait cannot make it unbounded.
    ${If} $1 < 0
      StrCpy $1 0
    ${ElseIf} $1 > ${END_WAIT_MS}
      StrCpy $1 ${END_WAIT_MS}
    ${EndIf}
    System::Call 'kernel32::WaitForSingleObject(p R3, i r1) i .r2'
    ${If} $2 <> 0
      IntOp $StillRunning $StillRunning + 1
    ${EndIf}
    System::Call 'kernel32::CloseHandle(p R3)'
  ${EndIf}
FunctionEnd

; Ends every running instance: $WasRunning how many ran, $StillRunning how many are left after
; the bounded wait.
Function ${un}EndOmbrevane
  StrCpy $WasRunning 0
  StrCpy $StillRunning 0
  StrCpy $R1 "Default"
  Call ${un}InstanceOf
  StrCpy $Proc0 $R3
  StrCpy $R1 "SecretDesktop##1"
  Call ${un}InstanceOf
  StrCpy $Proc1 $R3
  StrCpy $R1 "SecretDesktop##2"
  Call ${un}InstanceOf
  StrCpy $Proc2 $R3
  StrCpy $R1 "SecretDesktop##3"
  Call ${un}InstanceOf
  StrCpy $Proc3 $R3
  StrCpy $R1 "SecretDesktop##4"
  Call ${un}InstanceOf
  StrCpy $Proc4 $R3
  ${If} "$Proc0$Proc1$Proc2$Proc3$Proc4" == "00000"
    Return
  ${EndIf}

  ; The exit of the instance on "Default" ends all others.
  DetailPrint "Ending the running Ombrevane"
  Call ${un}PostExitOnDefault

  System::Call 'kernel32::GetTickCount() i .R4'
  IntOp $R4 $R4 + ${END_WAIT_MS}
  StrCpy $R3 $Proc0
  Call ${un}AwaitInstance
  StrCpy $R3 $Proc1
  Call ${un}AwaitInstance
  StrCpy $R3 $Proc2
  Call ${un}AwaitInstance
  StrCpy $R3 $Proc3
  Call ${un}AwaitInstance
  StrCpy $R3 $Proc4
  Call ${un}AwaitInstance
FunctionEnd

!macroend

!insertmacro OMBREVANE_ENDING ""
!insertmacro OMBREVANE_ENDING "un."

; Starts the installed program as the instance of "Default", which then creates the other
; desktops, wherever the setup itself runs.
Function StartOmbrevane
  StrCpy $R7 "$INSTDIR\bin\ombrevane.exe"
  StrCpy $R8 '"$INSTDIR\bin\ombrevane.exe"'
  StrCpy $R9 0
  Call RunOnDefault
  ${If} $R9 = 0
    DetailPrint "Could not start $INSTDIR\bin\ombrevane.exe"
  ${EndIf}
FunctionEnd

Function .onInit
  Call PostExitIfAsked
FunctionEnd

Function un.onInit
  Call un.PostExitIfAsked
FunctionEnd

; --- Installation --------------------------------------------------------------------------------

Section "Ombrevane" SecProgram
  SectionIn RO
  ${Do}
    Call EndOmbrevane
    ${If} $StillRunning = 0
      ${Break}
    ${EndIf}
    ${If} ${Silent}
      SetErrorLevel 2
      Abort "Ombrevane is still running."
    ${EndIf}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "Ombrevane is still running and cannot be replaced.$\r$\n$\r$\nEnd it with Exit in its tray menu, then choose Retry." IDRETRY +2
    Abort "Ombrevane is still running."
  ${Loop}

  SetOutPath "$INSTDIR\bin"
  File "${STAGE}/bin/ombrevane.exe"
  File "${STAGE}/bin/inputward.dll"
  SetOutPath "$INSTDIR\help"
  File "${STAGE}/help/Ombrevane.chm"
  ; What the release ships for the settings folder (the tips); never settings files, so an
  ; update keeps the user's.
  SetOutPath "$INSTDIR\config"
  !ifdef SHIP_CONFIG
    File /x "*.ini" "${STAGE}/config/*.*"
  !endif

  SetOutPath "$INSTDIR\bin"
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  CreateShortcut "$SMPROGRAMS\Ombrevane.lnk" "$INSTDIR\bin\ombrevane.exe" "" \
    "$INSTDIR\bin\ombrevane.exe" 0 SW_SHOWNORMAL "" "Up to five desktops on one screen"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Ombrevane"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Tolvarine"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\bin\ombrevane.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0

  ; A silent update puts back what it ended; otherwise the finish page offers the start.
  ${If} ${Silent}
  ${AndIf} $WasRunning > 0
    Call StartOmbrevane
  ${EndIf}
SectionEnd

; --- Removal -------------------------------------------------------------------------------------

Section "un.Ombrevane" UnSecProgram
  SectionIn RO
  ${Do}
    Call un.EndOmbrevane
    ${If} $StillRunning = 0
      ${Break}
    ${EndIf}
    ${If} ${Silent}
      SetErrorLevel 2
      Abort "Ombrevane is still running."
    ${EndIf}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "Ombrevane is still running and cannot be removed.$\r$\n$\r$\nEnd it with Exit in its tray menu, then choose Retry." IDRETRY +2
    Abort "Ombrevane is still running."
  ${Loop}

  DeleteRegValue HKCU "${RUN_KEY}" "Ombrevane"
  DeleteRegKey HKCU "${MARKER_KEY}"
  DeleteRegKey /ifempty HKCU "${COMPANY_KEY}"

  Delete "$INSTDIR\bin\ombrevane.exe"
  Delete "$INSTDIR\bin\inputward.dll"
  Delete "$INSTDIR\help\Ombrevane.chm"
  ; Everything in the settings folder but the settings files came with the release.
  FindFirst $0 $1 "$INSTDIR\config\*.*"
  ${DoWhile} $1 != ""
    ${If} ${FileExists} "$INSTDIR\config\$1"
    ${AndIfNot} ${FileExists} "$INSTDIR\config\$1\*.*"
      StrCpy $2 "$1" "" -4
      ${If} $2 != ".ini"
        Delete "$INSTDIR\config\$1"
      ${EndIf}
    ${EndIf}
    FindNext $0 $1
  ${Loop}
  FindClose $0
  Delete "$SMPROGRAMS\Ombrevane.lnk"
  Delete "$INSTDIR\Uninstall.exe"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd

Section /o "un.Remove my settings" UnSecSettings
  Delete "$INSTDIR\config\*.ini"
SectionEnd

Section "-un.Folders"
  ; Only empty folders go: settings that were kept keep theirs.
  RMDir "$INSTDIR\bin"
  RMDir "$INSTDIR\help"
  RMDir "$INSTDIR\config\languages"
  RMDir "$INSTDIR\config"
  RMDir "$INSTDIR\log"
  RMDir "$INSTDIR\data"
  RMDir "$INSTDIR"
SectionEnd

!insertmacro MUI_UNFUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${UnSecProgram} "The program, its help, its Start menu entry and its start with Windows."
  !insertmacro MUI_DESCRIPTION_TEXT ${UnSecSettings} "Your settings files: desktop names, passwords, startup programs and options."
!insertmacro MUI_UNFUNCTION_DESCRIPTION_END
