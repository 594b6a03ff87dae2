; The Windows installer: MAVIK.exe, mavik-convert.exe, both pairs of code
; tables, info.txt, the README and the licence, a Start-menu entry and an
; uninstaller. Built by dist/windows/CMakeLists.txt, which defines the paths:
;   OUTFILE VERSION CONVERT_EXE DATA README LICENCE, and MAVIK_EXE when the
;   window is built.
;
;   $INSTDIR\                       MAVIK.exe, mavik-convert.exe, info.txt,
;                                   README.md, licence.txt, uninstall.exe
;   $INSTDIR\codetables\            the default pair
;   $INSTDIR\codetables\cyrillic\   the Cyrillic pair
;
; The window reads info.txt from its own folder and the tables from its
; working folder, so the shortcut starts it in codetables\.
; A 64-bit installer for a 64-bit program: it needs no 32-bit side of
; Windows (nor of Wine) to run.
Target amd64-unicode
!include MUI2.nsh

Name "MAVIK"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\MAVIK"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=0 "ProductName" "MAVIK"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileDescription" "MAVIK setup"
VIAddVersionKey /LANG=0 "LegalCopyright" "2026 The MAVIK developers"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\MAVIK"

!insertmacro MUI_PAGE_LICENSE "${LICENCE}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
; The first is the default; the user's own language is taken where it is one of these.
!insertmacro MUI_LANGUAGE "Russian"
!insertmacro MUI_LANGUAGE "English"

; What is laid down, once: the install section copies it, the uninstaller
; deletes exactly these names and nothing else.
!macro Payload Op
!ifdef MAVIK_EXE
    !insertmacro ${Op} "" "${MAVIK_EXE}" "MAVIK.exe"
!endif
    !insertmacro ${Op} "" "${CONVERT_EXE}" "mavik-convert.exe"
    !insertmacro ${Op} "" "${DATA}/info.txt" "info.txt"
    !insertmacro ${Op} "" "${README}" "README.md"
    !insertmacro ${Op} "" "${LICENCE}" "licence.txt"
    !insertmacro ${Op} "\codetables" "${DATA}/codetables/ebcdic-ascii" "ebcdic-ascii"
    !insertmacro ${Op} "\codetables" "${DATA}/codetables/ascii-ebcdic" "ascii-ebcdic"
    !insertmacro ${Op} "\codetables\cyrillic" "${DATA}/codetables/cyrillic/ebcdic-ascii" "ebcdic-ascii"
    !insertmacro ${Op} "\codetables\cyrillic" "${DATA}/codetables/cyrillic/ascii-ebcdic" "ascii-ebcdic"
!macroend
!macro InstallFile Folder Source Name
    SetOutPath "$INSTDIR${Folder}"
    File "/oname=${Name}" "${Source}"
!macroend
!macro RemoveFile Folder Source Name
    Delete "$INSTDIR${Folder}\${Name}"
!macroend

Function .onInit
    SetRegView 64
    SetShellVarContext all
FunctionEnd

Function un.onInit
    SetRegView 64
    SetShellVarContext all
FunctionEnd

Section
    !insertmacro Payload InstallFile
    WriteUninstaller "$INSTDIR\uninstall.exe"
!ifdef MAVIK_EXE
    ; A shortcut's working folder is the output path when it is made.
    SetOutPath "$INSTDIR\codetables"
    CreateShortCut "$SMPROGRAMS\MAVIK.lnk" "$INSTDIR\MAVIK.exe"
!endif
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "MAVIK"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "The MAVIK developers"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Removes what the installer laid down by name and the folders only when
; they are then empty: a file of the user's (an own table pair, an output)
; stays, and so does the folder that holds it.
Section "Uninstall"
    Delete "$SMPROGRAMS\MAVIK.lnk"
    !insertmacro Payload RemoveFile
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR\codetables\cyrillic"
    RMDir "$INSTDIR\codetables"
    RMDir "$INSTDIR"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
