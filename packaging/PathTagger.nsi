; The PathTagger installer. It puts PathTagger.dll into the host's compression
; folder, where the host keeps its encoder plugins, and its own files (the
; tools, the read-me and the uninstaller) into a PathTagger folder below it.
; Built by the package target, which defines VERSION, OUTFILE, PLUGIN_DLL,
; README and SHIPPED (the generated list of tools and shortcuts).
Unicode true
!include LogicLib.nsh
!include FileFunc.nsh

!define HOST_KEY "Software\Brackenford\Sonavell"
!define DEFAULT_HOST_FOLDER "c:\Program files\Brackenford\Sonavell\"
!define COMPRESSION_FOLDER "Compression"
!define OWN_FOLDER "PathTagger"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\PathTagger"
!define PUBLISHER "PathTagger developers"
; Exit status of a run that changed nothing because a file is in use.
!define EXIT_IN_USE 3

Name "PathTagger ${VERSION}"
OutFile "${OUTFILE}"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=0 "ProductName" "PathTagger"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileDescription" "PathTagger ${VERSION} setup"
VIAddVersionKey /LANG=0 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=0 "LegalCopyright" "${PUBLISHER}"

!include "${SHIPPED}"

DirText "PathTagger.dll goes into the host's Compression folder, where the host \
keeps its encoder plugins. The folder below was found from the host's \
installation; change it if the host lives elsewhere." \
  "Compression folder of the host"
Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

; The highest folder on the way to $INSTDIR that this run creates, or empty:
; the uninstall removes the folders up to it again, when they are empty.
Var CreatedFolder

; The installation folder of the host as the host records it, or its default.
Function .onInit
  ${If} $INSTDIR == ""
    ReadRegStr $0 HKCU "${HOST_KEY}" "InstalledTo"
    ${If} $0 == ""
      StrCpy $0 "${DEFAULT_HOST_FOLDER}"
    ${EndIf}
    StrCpy $1 $0 1 -1
    ${If} $1 != "\"
      StrCpy $0 "$0\"
    ${EndIf}
    StrCpy $INSTDIR "$0${COMPRESSION_FOLDER}"
  ${EndIf}
FunctionEnd

; A file that is about to be replaced or removed must open for writing: a
; library the host has loaded does not, and writing around it would leave a
; half-installed plugin. $R0 names the file. Nothing has been written when
; this refuses.
!macro REFUSE_WHILE_IN_USE un
Function ${un}RefuseWhileInUse
  ${IfNot} ${FileExists} $R0
    Return
  ${EndIf}
  retry:
  ClearErrors
  FileOpen $R1 $R0 a
  ${IfNot} ${Errors}
    FileClose $R1
    Return
  ${EndIf}
  MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
    "$R0 is in use, most likely by the host.$\r$\n$\r$\nClose the host and press Retry, \
or Cancel to leave everything as it is." /SD IDCANCEL IDRETRY retry
  SetErrorLevel ${EXIT_IN_USE}
  Abort "Nothing was changed: $R0 is in use. Close the host and run this again."
FunctionEnd
!macroend
!insertmacro REFUSE_WHILE_IN_USE ""
!insertmacro REFUSE_WHILE_IN_USE "un."

; A reinstall keeps the answer of the first install.
Function FindCreatedFolder
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "DisplayName"
  ${If} $0 != ""
    ReadRegStr $CreatedFolder HKLM "${UNINSTALL_KEY}" "CreatedFolder"
    Return
  ${EndIf}
  StrCpy $CreatedFolder ""
  StrCpy $0 "$INSTDIR"
  ${DoUntil} $0 == ""
    ${If} ${FileExists} "$0\*.*"
      ${Break}
    ${EndIf}
    StrCpy $CreatedFolder "$0"
    ${GetParent} "$0" $0
  ${Loop}
FunctionEnd

Section "PathTagger" SecPlugin
  StrCpy $R0 "$INSTDIR\PathTagger.dll"
  Call RefuseWhileInUse
  !insertmacro CHECK_SHIPPED_TOOLS "$INSTDIR\${OWN_FOLDER}" ""

  Call FindCreatedFolder

  SetOverwrite on
  SetOutPath "$INSTDIR"
  File "/oname=PathTagger.dll" "${PLUGIN_DLL}"
  SetOutPath "$INSTDIR\${OWN_FOLDER}"
  File "/oname=README.txt" "${README}"
  !insertmacro INSTALL_SHIPPED_TOOLS
  WriteUninstaller "$INSTDIR\${OWN_FOLDER}\Uninstall.exe"
  !insertmacro CREATE_SHORTCUTS "$INSTDIR\${OWN_FOLDER}"

  SectionGetSize ${SecPlugin} $0
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "PathTagger"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" \
    '"$INSTDIR\${OWN_FOLDER}\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" \
    '"$INSTDIR\${OWN_FOLDER}\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  WriteRegStr HKLM "${UNINSTALL_KEY}" "CreatedFolder" "$CreatedFolder"
SectionEnd

; Removes what the installer wrote and nothing else: the host's other files
; and the user's stored pattern stay.
Section "Uninstall"
  ${GetParent} "$INSTDIR" $R9
  StrCpy $R0 "$R9\PathTagger.dll"
  Call un.RefuseWhileInUse
  !insertmacro CHECK_SHIPPED_TOOLS "$INSTDIR" "un."

  ReadRegStr $CreatedFolder HKLM "${UNINSTALL_KEY}" "CreatedFolder"
  !insertmacro REMOVE_SHORTCUTS
  Delete "$R9\PathTagger.dll"
  !insertmacro REMOVE_SHIPPED_TOOLS "$INSTDIR"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  ${If} $CreatedFolder != ""
    StrCpy $0 "$R9"
    ${DoUntil} $0 == ""
      RMDir "$0"
      ${If} $0 == $CreatedFolder
        ${Break}
      ${EndIf}
      ${GetParent} "$0" $0
    ${Loop}
  ${EndIf}
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
