; SPDX-FileCopyrightText: 2026 Chimewell developers
; SPDX-License-Identifier: GPL-3.0-or-later
; The Windows installer: the runnable folder into Program Files, a Start-menu entry and an
; uninstaller that removes the program and the Startup shortcut Chimewell made, nothing else
; (the settings stay). makensis -DVERSION=... -DSOURCE=<runnable folder> -DOUTFILE=<setup.exe>
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma

!define KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Chimewell"

Name "Chimewell ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Chimewell"
RequestExecutionLevel admin

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section
    SetShellVarContext all
    SetOutPath "$INSTDIR"
    File /r "${SOURCE}\*"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    CreateShortcut "$SMPROGRAMS\Chimewell.lnk" "$INSTDIR\bin\chimewell.exe"
    WriteRegStr HKLM "${KEY}" "DisplayName" "Chimewell"
    WriteRegStr HKLM "${KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${KEY}" "Publisher" "Corvander"
    WriteRegStr HKLM "${KEY}" "DisplayIcon" "$INSTDIR\bin\chimewell.exe"
    WriteRegStr HKLM "${KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegDWORD HKLM "${KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
    SetShellVarContext all
    Delete "$SMPROGRAMS\Chimewell.lnk"
    RMDir /r "$INSTDIR\bin"
    RMDir /r "$INSTDIR\share"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    DeleteRegKey HKLM "${KEY}"
    ; "Autostart at logon" is a shortcut in the user's own Startup folder.
    SetShellVarContext current
    Delete "$SMSTARTUP\Chimewell.lnk"
SectionEnd
