// Glouto : le point d'entrée.
#include "console/partie.h"
#include "console/terminal.h"

#include <cstdlib>
#include <ctime>
#include <iostream>

int main()
{
    InstallerConsole();
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    Carte carte = ChargerCarte(NOM_FICHIER_CARTE);
    const int statut = JouerPartie(carte);
    // Une sortie standard qui refuse les écritures (fermée, disque plein,
    // lecteur parti) arrête la partie : personne n'a rien vu, ce n'est pas un
    // succès. Le verdict lui-même doit être parti.
    if (!ViderConsole()) {
        std::cerr << "Impossible d'\xE9"
                     "crire sur la sortie standard"
                  << std::endl;
        return EXIT_FAILURE;
    }
    return statut;
}
