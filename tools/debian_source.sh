# Sourced by the scripts that build a library for Windows from Debian's own source (Qt, SQLite).
#
# debian_source_fetch WORK PACKAGE VERSION
#   fetches the source package PACKAGE=VERSION with apt-get source into WORK, through a private
#   apt configuration in WORK/apt (its own sources list with a deb-src line for each suite this
#   system already uses, its own state and cache folders): the system's apt sources are never
#   touched. Exits 2 when no deb-src line can be derived.

debian_source_fetch() {
    local work=$1 package=$2 version=$3
    mkdir -p "$work/apt/lists/partial" "$work/apt/archives/partial" "$work/apt/etc/sources.list.d" \
        "$work/apt/etc/preferences.d"

    # A deb-src line for each suite and mirror the system already uses (deb822 or one-line form).
    local suites_file=$work/apt/etc/sources.list
    {
        for f in /etc/apt/sources.list.d/*.sources; do
            [[ -f "$f" ]] || continue
            awk '
                function flush(   n, parts, i, opts) {
                    if (uris != "" && suites != "" && types ~ /(^| )deb( |$)/) {
                        opts = signed != "" ? "[signed-by=" signed "] " : ""
                        n = split(suites, parts, " ")
                        for (i = 1; i <= n; i++) print "deb-src " opts uris " " parts[i] " " comps
                    }
                    types = uris = suites = comps = signed = ""
                }
                /^[[:space:]]*$/ { flush(); next }
                /^#/ { next }
                /^Types:/ { sub(/^Types:[[:space:]]*/, ""); types = $0 }
                /^URIs:/ { sub(/^URIs:[[:space:]]*/, ""); uris = $0 }
                /^Suites:/ { sub(/^Suites:[[:space:]]*/, ""); suites = $0 }
                /^Components:/ { sub(/^Components:[[:space:]]*/, ""); comps = $0 }
                /^Signed-By:/ { sub(/^Signed-By:[[:space:]]*/, ""); signed = $0 }
                END { flush() }
            ' "$f"
        done
        for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
            [[ -f "$f" ]] || continue
            sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' "$f"
        done
    } | sort -u > "$suites_file"
    if ! grep -q '^deb-src' "$suites_file"; then
        echo "debian_source: found no apt source to derive a deb-src line from" >&2
        exit 2
    fi
    echo "debian_source: private apt sources:"
    sed 's/^/    /' "$suites_file"

    local apt_private=(
        -o "Dir::Etc::SourceList=$suites_file"
        -o "Dir::Etc::SourceParts=$work/apt/etc/sources.list.d"
        -o "Dir::Etc::PreferencesParts=$work/apt/etc/preferences.d"
        -o "Dir::State=$work/apt"
        -o "Dir::State::Lists=$work/apt/lists"
        -o "Dir::Cache=$work/apt"
        -o "Dir::Cache::Archives=$work/apt/archives"
        -o "Dir::State::status=/var/lib/dpkg/status"
        -o "APT::Sandbox::User=$(id -un)"
    )
    apt-get "${apt_private[@]}" -q update
    (cd "$work" && apt-get "${apt_private[@]}" -q source --only-source "$package=$version")
}
