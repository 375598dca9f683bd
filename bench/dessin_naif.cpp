#include "bench/dessin_naif.h"

#include "fantomes/fantomes.h"

#include <iostream>

void AfficherCarteNaif(const Carte& carte)
{
    for (std::int16_t y = 0; y < HAUTEUR; ++y) {
        for (std::int16_t x = 0; x < LARGEUR; ++x) {
            const Position p{x, y};
            if (p == carte.glouto.pos) {
                AfficherCase(SYMBOLE_GLOUTO);
                continue;
            }
            bool fantome = false;
            for (const Fantome& f : carte.fantomes) {
                fantome = fantome || (!EstInvalide(f.pos) && f.pos == p);
            }
            AfficherCase(fantome ? SYMBOLE_FANTOME : ObtenirCase(carte, p));
        }
        std::cout << std::endl;
    }
}

void JouerTourNaif(Carte& carte)
{
    if (!carte.valide) {
        std::cerr << "La carte " << carte.nom << " est invalide" << std::endl;
        return;
    }
    AfficherCarteNaif(carte);
    DeplacerFantomes(carte);
}
