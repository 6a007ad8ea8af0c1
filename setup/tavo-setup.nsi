; The setup program of Tavo for Windows: installs both input methods, the
; speech library and the data into the system directory (on 64-bit
; Windows the x64 files into the 64-bit one and the x86 files into the
; 32-bit one), registers each input method as a keyboard layout of
; Chinese (Hong Kong), and writes an uninstaller that removes them.
; /S runs either without a window.
;
; Built by setup/CMakeLists.txt, which defines:
;   TAVO_X64_DIR, TAVO_X86_DIR  the folders of the built modules
;   TAVO_DATA_DIR               the phrase databases and the voice
;   TAVO_OUTFILE                the setup program to write
;   TAVO_TARGET                 x86-unicode (runs on every Windows), or
;                               amd64-unicode for the tests under a
;                               64-bit-only Wine
; and may define TAVO_COMPRESSOR (the tests' setup is quicker to make).
Unicode true
Target ${TAVO_TARGET}
!ifndef TAVO_COMPRESSOR
!define TAVO_COMPRESSOR "/SOLID lzma"
!endif
SetCompressor ${TAVO_COMPRESSOR}
RequestExecutionLevel admin

; In the 64-bit setup ${RunningX64} is known to be true when compiling, and
; LogicLib then leaves the labels of the other branch unused.
!pragma warning disable 6012
!include "LogicLib.nsh"
!include "x64.nsh"
!include "MUI2.nsh"

Name "Tavo 粵語輸入法"
OutFile "${TAVO_OUTFILE}"
InstallDir "$PROGRAMFILES\Tavo"
ShowInstDetails show
ShowUninstDetails show

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tavo"
!define TAVO_KEY "Software\Tavo"
!define LAYOUTS_KEY "SYSTEM\CurrentControlSet\Control\Keyboard Layouts"
!define VEXA_TEXT "Tavo 粵語拼音"
!define RUDA_TEXT "Tavo 粵語點字"
!define ILOT_UNINSTALL 1

!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "TradChinese"
!insertmacro MUI_LANGUAGE "English"

; The files of one architecture into the current output folder.
!macro TavoFiles dir
    File "${dir}/vexa.ime"
    File "${dir}/ruda.ime"
    File "${dir}/tavo_spk.dll"
    File "${TAVO_DATA_DIR}/vexa.idb"
    File "${TAVO_DATA_DIR}/ruda.idb"
    File "${TAVO_DATA_DIR}/tavo_spk.vdb"
!macroend

!macro TavoDelete dir
    Delete /REBOOTOK "${dir}\vexa.ime"
    Delete /REBOOTOK "${dir}\ruda.ime"
    Delete /REBOOTOK "${dir}\tavo_spk.dll"
    Delete /REBOOTOK "${dir}\vexa.idb"
    Delete /REBOOTOK "${dir}\ruda.idb"
    Delete /REBOOTOK "${dir}\tavo_spk.vdb"
!macroend

; Registers the input method in the system directory as a layout,
; remembers the layout's identifier for the uninstaller and adds the
; layout to the installing user's list (InstallLayoutOrTip, Windows 7 and
; later; where it is missing the user adds the layout in the settings).
!macro TavoRegister file text value
    System::Call 'imm32::ImmInstallIMEW(w "$SYSDIR\${file}", w "${text}") p .r0'
    ${If} $0 P<> 0
        IntOp $0 $0 & 0xFFFFFFFF
        IntFmt $1 "%08X" $0
        WriteRegStr HKLM "${TAVO_KEY}" "${value}" $1
        System::Call 'input::InstallLayoutOrTip(w "0C04:$1", i 0) i'
        DetailPrint "${text}: $1"
    ${Else}
        DetailPrint "${file}: ImmInstallIMEW failed"
        SetErrorLevel 2
    ${EndIf}
!macroend

Section "Tavo"
    ${If} ${RunningX64}
        ${DisableX64FSRedirection}
        SetOutPath "$WINDIR\System32"
        !insertmacro TavoFiles "${TAVO_X64_DIR}"
        ${EnableX64FSRedirection}
        SetOutPath "$WINDIR\SysWOW64"
        !insertmacro TavoFiles "${TAVO_X86_DIR}"
    ${Else}
        SetOutPath "$SYSDIR"
        !insertmacro TavoFiles "${TAVO_X86_DIR}"
    ${EndIf}

    !insertmacro TavoRegister "vexa.ime" "${VEXA_TEXT}" "VexaLayout"
    !insertmacro TavoRegister "ruda.ime" "${RUDA_TEXT}" "RudaLayout"

    SetOutPath "$INSTDIR"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Tavo 粵語輸入法"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "1.3"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Tavo"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Removes the layout whose identifier is in $0: from the user's list of
; layouts and from the system's. It is not loaded to be unloaded: loading
; it would load the input method into this program, whose file then could
; not be deleted.
Function un.TavoRemoveLayout
    ${If} $0 == ""
        Return
    ${EndIf}
    System::Call 'input::InstallLayoutOrTip(w "0C04:$0", i ${ILOT_UNINSTALL}) i'
    StrCpy $2 0
    ${Do}
        EnumRegValue $3 HKCU "Keyboard Layout\Preload" $2
        ${If} $3 == ""
            ${Break}
        ${EndIf}
        ReadRegStr $4 HKCU "Keyboard Layout\Preload" $3
        ${If} $4 == $0
            DeleteRegValue HKCU "Keyboard Layout\Preload" $3
        ${Else}
            IntOp $2 $2 + 1
        ${EndIf}
    ${Loop}
    DeleteRegKey HKLM "${LAYOUTS_KEY}\$0"
    DetailPrint "$0 removed"
FunctionEnd

Section "Uninstall"
    ReadRegStr $0 HKLM "${TAVO_KEY}" "VexaLayout"
    Call un.TavoRemoveLayout
    ReadRegStr $0 HKLM "${TAVO_KEY}" "RudaLayout"
    Call un.TavoRemoveLayout

    ${If} ${RunningX64}
        ${DisableX64FSRedirection}
        !insertmacro TavoDelete "$WINDIR\System32"
        ${EnableX64FSRedirection}
        !insertmacro TavoDelete "$WINDIR\SysWOW64"
    ${Else}
        !insertmacro TavoDelete "$SYSDIR"
    ${EndIf}

    DeleteRegKey HKLM "${TAVO_KEY}"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
SectionEnd
