#!/usr/bin/env bash
# Mesures du programme entier, pour glouto et pour glouto_naif (la même partie
# avec le dessin direct : une case par operator<<, un vidage par ligne) :
#  - tours par seconde sur une partie de 20 000 tours envoyée dans /dev/null ;
#  - écritures par tour (strace -c), avec un joueur qui attend chaque écran
#    avant de taper sa lettre, puis avec toutes les lettres tapées d'avance ;
#  - instructions par tour (valgrind --tool=callgrind) sur 2 000 tours.
#
# Les parties se jouent dans un répertoire temporaire sur bench/Niveau-mesure.map :
# Glouto descend de 'P' dans un couloir qui passe d'un bord à l'autre et y
# tourne en rond vers l'est ; les fantômes courent dans un labyrinthe fermé qui
# ne le rejoint jamais. La partie dure donc exactement le nombre de tours voulu.
#
# Usage : bench/mesurer.sh [répertoire de construction]   (défaut : build-mesure)
# Il faut cmake, g++, python3, strace, valgrind et Google Benchmark
# (paquets Debian cmake g++ python3 strace valgrind libbenchmark-dev).
set -euo pipefail

racine="$(cd "$(dirname "$0")/.." && pwd)"
construction="${1:-$racine/build-mesure}"
TOURS_LONGS=20000
TOURS_COURTS=2000

for outil in cmake python3 strace valgrind; do
    command -v "$outil" >/dev/null || {
        echo "$outil manque (paquet Debian $outil)" >&2
        exit 1
    }
done

generateur=()
command -v ninja >/dev/null && generateur=(-G Ninja)
if [ ! -f "$construction/CMakeCache.txt" ]; then
    cmake -S "$racine" -B "$construction" "${generateur[@]}" -DGLOUTO_TESTS=OFF \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$construction" --target glouto glouto_naif >/dev/null || {
    echo "construction impossible (Google Benchmark est-il installé ? paquet libbenchmark-dev)" >&2
    exit 1
}
declare -A programme=([glouto]="$construction/glouto" [naif]="$construction/bench/glouto_naif")

partie="$(mktemp -d)"
trap 'rm -rf "$partie"' EXIT
cp "$racine/bench/Niveau-mesure.map" "$partie/Niveau1-ANSI.map"
cd "$partie"

# Une partie de n tours : n écrans, n lettres lues, la dernière est Q.
lettres() { python3 -c "import sys; n = int(sys.argv[1]); print('S' + 'E' * (n - 2) + 'Q')" "$1"; }
lettres "$TOURS_LONGS" >longue
lettres "$TOURS_COURTS" >courte
lettres 1 >vide

# Vérifie qu'une partie a bien duré le nombre de tours voulu.
verifier() {
    local n
    n=$(python3 -c "import sys; print(open(sys.argv[1], 'rb').read().count(b'Votre choix: '))" "$2")
    [ "$n" -eq "$3" ] || {
        echo "$1 : $n tours au lieu de $3" >&2
        exit 1
    }
}

# Tours par seconde : meilleure de trois parties longues.
tours_par_seconde() {
    "$1" <longue >sortie
    verifier "$1" sortie "$TOURS_LONGS"
    local meilleur=""
    for _ in 1 2 3; do
        local debut fin
        debut=$(date +%s%N)
        "$1" <longue >/dev/null
        fin=$(date +%s%N)
        if [ -z "$meilleur" ] || [ $((fin - debut)) -lt "$meilleur" ]; then
            meilleur=$((fin - debut))
        fi
    done
    echo $((TOURS_LONGS * 1000000000 / meilleur))
}

# Nombre d'appels write relevés par strace -c.
ecritures_strace() { awk '$NF == "write" { print $4 }' "$1"; }

# Écritures par tour, lettres tapées d'avance : toute l'entrée est là dès le départ.
ecritures_d_avance() {
    strace -f -c -e trace=write -o stats "$1" <longue >/dev/null
    python3 -c "import sys; print(f'{int(sys.argv[1]) / int(sys.argv[2]):.3f}')" \
        "$(ecritures_strace stats)" "$TOURS_LONGS"
}

# Écritures par tour, joueur qui attend chaque écran : une lettre n'est tapée
# qu'une fois l'invite arrivée, comme au clavier.
ecritures_au_pas() {
    python3 - "$1" "$TOURS_COURTS" <<'FIN'
import os, subprocess, sys
programme, tours = sys.argv[1], int(sys.argv[2])
jeu = subprocess.Popen(["strace", "-f", "-c", "-e", "trace=write", "-o", "stats", programme],
                       stdin=subprocess.PIPE, stdout=subprocess.PIPE)
invite = b"Votre choix: "
def attendre_invite():
    recu = b""
    while not recu.endswith(invite):
        morceau = os.read(jeu.stdout.fileno(), 1 << 16)
        if not morceau:
            sys.exit("la partie s'est arrêtée trop tôt")
        recu += morceau
for tour in range(tours):
    attendre_invite()
    lettre = b"Q" if tour == tours - 1 else (b"S" if tour == 0 else b"E")
    jeu.stdin.write(lettre + b"\n")
    jeu.stdin.flush()
jeu.stdin.close()
jeu.stdout.read()
jeu.wait()
FIN
    python3 -c "import sys; print(f'{int(sys.argv[1]) / int(sys.argv[2]):.3f}')" \
        "$(ecritures_strace stats)" "$TOURS_COURTS"
}

instructions() {
    valgrind --tool=callgrind --callgrind-out-file=/dev/null --log-file=journal "$1" <"$2" >/dev/null
    sed -n 's/.*Collected : \([0-9]*\).*/\1/p' journal
}

# Instructions par tour : le coût de la partie de 2 000 tours moins celui
# d'une partie d'un seul tour (chargement, démarrage), divisé par 1 999 ;
# et, entre parenthèses, le total de la longue partie divisé par 2 000.
instructions_par_tour() {
    local longue_partie une_partie
    longue_partie=$(instructions "$1" courte)
    une_partie=$(instructions "$1" vide)
    echo $(((longue_partie - une_partie) / (TOURS_COURTS - 1))) $((longue_partie / TOURS_COURTS))
}

declare -A tps au_pas avance instr total
for p in glouto naif; do
    tps[$p]=$(tours_par_seconde "${programme[$p]}")
    au_pas[$p]=$(ecritures_au_pas "${programme[$p]}")
    avance[$p]=$(ecritures_d_avance "${programme[$p]}")
    read -r instr[$p] total[$p] < <(instructions_par_tour "${programme[$p]}")
done

processeur=$(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -1)
python3 - "$processeur, $(nproc) cœur(s), $(date -u '+%Y-%m-%d')" \
    "${tps[glouto]}" "${tps[naif]}" "${au_pas[glouto]}" "${au_pas[naif]}" \
    "${avance[glouto]}" "${avance[naif]}" "${instr[glouto]}" "${instr[naif]}" \
    "${total[glouto]}" "${total[naif]}" "$TOURS_LONGS" "$TOURS_COURTS" <<'FIN'
import sys
machine, *v, longs, courts = sys.argv[1:]
lignes = [
    (f"tours par seconde ({longs} tours, sortie vers /dev/null)", v[0], v[1]),
    ("écritures par tour, joueur qui attend chaque écran", v[2], v[3]),
    ("écritures par tour, lettres tapées d'avance", v[4], v[5]),
    (f"instructions par tour ({courts} tours, callgrind)", v[6], v[7]),
    (f"  (total de la partie divisé par {courts})", v[8], v[9]),
]
print(f"Machine : {machine}")
print(f"{'':58} {'glouto':>14} {'dessin direct':>14}")
for titre, a, b in lignes:
    print(f"{titre:58} {a:>14} {b:>14}")
print(f"rapport des instructions par tour : {int(v[7]) / int(v[6]):.0f}")
FIN
