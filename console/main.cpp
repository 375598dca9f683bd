// Glouto : le point d'entrée.
#include "console/partie.h"
#include "console/terminal.h"

#include <cstdlib>
#include <ctime>

int main()
{
    InstallerConsole();
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    Carte carte = ChargerCarte(NOM_FICHIER_CARTE);
    return JouerPartie(carte);
}
