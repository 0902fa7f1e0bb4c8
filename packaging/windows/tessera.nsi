; The Tessera installer: a per-user install with Start-menu entries and an uninstaller that keeps the progress and the packs.
; makensis -DVERSION=... -DBUILD=<windows build> -DSTAGES=<stage dir> -DICON=<.ico> -DLICENSE=<file> -DOUTFILE=...
; A 64-bit installer for the 64-bit game: it runs wherever the game does, Wine without wine32 too.
Target amd64-unicode

Name "Tessera ${VERSION}"
OutFile "${OUTFILE}"
; The same installer from every build: the files it carries keep no build-time dates (they get the
; time they are installed), and makensis itself stamps no date into the installer.
SetDateSave off
; The version Explorer shows in the installer's properties.
VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=0 "ProductName" "Tessera"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileDescription" "Tessera ${VERSION} installer"
VIAddVersionKey /LANG=0 "CompanyName" "The Tessera developers"
VIAddVersionKey /LANG=0 "LegalCopyright" "The Tessera developers, MIT license"
; Per user, no administrator: everything lands in the player's own profile.
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\Tessera"
Icon "${ICON}"
UninstallIcon "${ICON}"
SetCompressor /SOLID lzma
LicenseData "${LICENSE}"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tessera"

Page license
Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Function .onInit
    SetShellVarContext current
FunctionEnd

Function un.onInit
    SetShellVarContext current
FunctionEnd

Section "Tessera"
    SetOutPath "$INSTDIR"
    File "${BUILD}/tessera.exe"
    File "${BUILD}/tessera-stages.exe"
    ; The shipped stages: the game copies them into %LOCALAPPDATA%\Tessera, where the progress is kept.
    SetOutPath "$INSTDIR\stages"
    File "${STAGES}/st0.dat"
    File "${STAGES}/st1.dat"
    File "${STAGES}/st2.dat"
    File "${STAGES}/st3.dat"
    File "${STAGES}/st4.dat"
    File "${STAGES}/st5.dat"
    File "${STAGES}/st6.dat"
    File "${STAGES}/st7.dat"
    File "${STAGES}/st8.dat"
    File "${STAGES}/st9.dat"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    ; The shortcut starts the game in $INSTDIR, the output path when it is made.
    SetOutPath "$INSTDIR"
    CreateShortcut "$SMPROGRAMS\Tessera.lnk" "$INSTDIR\tessera.exe" "" "$INSTDIR\tessera.exe" 0
    ; Stage packs: ten new stages from a seed no pack here has had, or the pack of the day (UTC).
    CreateShortcut "$SMPROGRAMS\Tessera - New stage pack.lnk" "$INSTDIR\tessera.exe" "--pack new" "$INSTDIR\tessera.exe" 0
    CreateShortcut "$SMPROGRAMS\Tessera - Today's pack.lnk" "$INSTDIR\tessera.exe" "--pack today" "$INSTDIR\tessera.exe" 0
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Tessera"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "The Tessera developers"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\tessera.exe"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Removes exactly what the installer put in place; the player's progress and packs in %LOCALAPPDATA%\Tessera stay.
Section "Uninstall"
    Delete "$SMPROGRAMS\Tessera.lnk"
    Delete "$SMPROGRAMS\Tessera - New stage pack.lnk"
    Delete "$SMPROGRAMS\Tessera - Today's pack.lnk"
    Delete "$INSTDIR\tessera.exe"
    Delete "$INSTDIR\tessera-stages.exe"
    Delete "$INSTDIR\stages\st0.dat"
    Delete "$INSTDIR\stages\st1.dat"
    Delete "$INSTDIR\stages\st2.dat"
    Delete "$INSTDIR\stages\st3.dat"
    Delete "$INSTDIR\stages\st4.dat"
    Delete "$INSTDIR\stages\st5.dat"
    Delete "$INSTDIR\stages\st6.dat"
    Delete "$INSTDIR\stages\st7.dat"
    Delete "$INSTDIR\stages\st8.dat"
    Delete "$INSTDIR\stages\st9.dat"
    Delete "$INSTDIR\uninstall.exe"
    ; Only when empty: a file the player put there is not ours to delete.
    RMDir "$INSTDIR\stages"
    RMDir "$INSTDIR"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
