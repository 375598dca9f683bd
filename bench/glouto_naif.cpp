// La même partie que glouto, jouée avec le dessin direct (une case par
// operator<<, un vidage par ligne) sur les flux standard tels quels, sans la
// couche terminal : c'est le point de comparaison des mesures de bench/.
#include "bench/dessin_naif.h"
#include "console/partie.h"

#include <cstdlib>
#include <ctime>
#include <iostream>

int main()
{
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    Carte carte = ChargerCarte(NOM_FICHIER_CARTE);
    JouerTourNaif(carte);
    AfficherMenu(carte.glouto);
    char choix = LireChoix();
    while (choix != 'Q' && !carte.glouto.gagne && carte.glouto.vivant) {
        TraiterChoix(carte, choix);
        JouerTourNaif(carte);
        AfficherMenu(carte.glouto);
        choix = LireChoix();
    }
    std::cout << (carte.glouto.gagne ? "F\xE9licitations pour cette belle victoire!"
                                     : "\xC2pre d\xE9"
                                       "faite...")
              << std::endl;
    return 0;
}
