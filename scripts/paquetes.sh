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
