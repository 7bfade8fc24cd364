# Sourced by the scripts: instalar_paquetes PAQUETE... installs the Debian
# packages among those that are missing (apt-get update first, only then; as
# root or through sudo) and does nothing when every one is installed.
instalar_paquetes() {
    local faltan=() p sudo_=""
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || faltan+=("$p")
    done
    [ ${#faltan[@]} -gt 0 ] || return 0
    echo "Instalando: ${faltan[*]}"
    [ "$(id -u)" = 0 ] || sudo_="sudo"
    $sudo_ env DEBIAN_FRONTEND=noninteractive apt-get update -qq
    $sudo_ env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${faltan[@]}" >/dev/null
}

# generar_idiomas LOCALE... makes the C library locales the tests run under
# (the operators' es_AR.UTF-8) when this machine has not got them.
generar_idiomas() {
    local faltan=() l sudo_=""
    for l in "$@"; do
        locale -a 2>/dev/null | grep -qix "$(echo "$l" | sed 's/UTF-8$/utf8/')" || faltan+=("$l")
    done
    [ ${#faltan[@]} -gt 0 ] || return 0
    echo "Generando: ${faltan[*]}"
    [ "$(id -u)" = 0 ] || sudo_="sudo"
    for l in "${faltan[@]}"; do
        grep -qx "$l UTF-8" /etc/locale.gen 2>/dev/null ||
            echo "$l UTF-8" | $sudo_ tee -a /etc/locale.gen >/dev/null
    done
    $sudo_ locale-gen >/dev/null
}
