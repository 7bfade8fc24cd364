; The Windows installer, made by scripts/windows with makensis, which defines
; VERSION, SALIDA and ICONO (the program's own icon, which the installer and
; the uninstaller show), and writes
; archivos.nsh and borrar.nsh beside this file's copy: every file installed,
; and the same list for the uninstaller, so that it removes exactly what the
; installer put and nothing of the operator's (QX000LT.INI, consultas.qn,
; rp_oproduccion.ini, QNErr.log).
; A 64-bit installer: it runs where the program does, and Wine without its
; 32-bit part runs it too.
Target amd64-unicode
SetCompressor /SOLID lzma

!define NOMBRE "Reporte de Ordenes de Producción"
!define CLAVE "rp_oproduccion"
!define DESINSTALAR "Software\Microsoft\Windows\CurrentVersion\Uninstall\${CLAVE}"

; For every user of the machine when run as an administrator, otherwise for
; the operator alone; /AllUsers or /CurrentUser on the command line choose.
!define MULTIUSER_EXECUTIONLEVEL Highest
!define MULTIUSER_MUI
!define MULTIUSER_INSTALLMODE_COMMANDLINE
!define MULTIUSER_USE_PROGRAMFILES64
!define MULTIUSER_INSTALLMODE_INSTDIR "${CLAVE}"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_KEY "${DESINSTALAR}"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_VALUENAME "InstallLocation"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_KEY "${DESINSTALAR}"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_VALUENAME "InstallLocation"
!define MUI_ICON "${ICONO}"
!define MUI_UNICON "${ICONO}"
!include MultiUser.nsh
!include MUI2.nsh
!include x64.nsh

Name "${NOMBRE} ${VERSION}"
OutFile "${SALIDA}"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MULTIUSER_PAGE_INSTALLMODE
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Spanish"

Function .onInit
    ${IfNot} ${RunningX64}
        MessageBox MB_ICONSTOP "El programa es para Windows de 64 bits."
        Abort
    ${EndIf}
    SetRegView 64
    !insertmacro MULTIUSER_INIT
FunctionEnd

Function un.onInit
    SetRegView 64
    !insertmacro MULTIUSER_UNINIT
FunctionEnd

Section "Programa"
    ; A second install writes the same files again; the operator's own files
    ; are not among them, so they stay as they are.
    !include "archivos.nsh"
    WriteUninstaller "$INSTDIR\desinstalar.exe"
    CreateShortCut "$SMPROGRAMS\${NOMBRE} (demostración).lnk" "$INSTDIR\bin\rp_oproduccion.exe" \
        "--demo" "$INSTDIR\bin\rp_oproduccion.exe" 0
    WriteRegStr SHCTX "${DESINSTALAR}" "DisplayName" "${NOMBRE}"
    WriteRegStr SHCTX "${DESINSTALAR}" "DisplayVersion" "${VERSION}"
    WriteRegStr SHCTX "${DESINSTALAR}" "DisplayIcon" "$INSTDIR\bin\rp_oproduccion.exe,0"
    WriteRegStr SHCTX "${DESINSTALAR}" "InstallLocation" "$INSTDIR"
    WriteRegStr SHCTX "${DESINSTALAR}" "UninstallString" '"$INSTDIR\desinstalar.exe" /$MultiUser.InstallMode'
    WriteRegStr SHCTX "${DESINSTALAR}" "QuietUninstallString" '"$INSTDIR\desinstalar.exe" /$MultiUser.InstallMode /S'
    WriteRegDWORD SHCTX "${DESINSTALAR}" "NoModify" 1
    WriteRegDWORD SHCTX "${DESINSTALAR}" "NoRepair" 1
SectionEnd

Section "Uninstall"
    !include "borrar.nsh"
    Delete "$SMPROGRAMS\${NOMBRE} (demostración).lnk"
    Delete "$INSTDIR\desinstalar.exe"
    DeleteRegKey SHCTX "${DESINSTALAR}"
    ; Only empty folders go: one that keeps an operator's file stays with it.
    RMDir "$INSTDIR"
SectionEnd
