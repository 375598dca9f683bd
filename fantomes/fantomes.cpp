#include "fantomes/fantomes.h"

#include <cstdlib>
#include <iostream>

namespace {

// Un cap au hasard parmi les quatre.
Direction TirerDirection()
{
    return static_cast<Direction>(std::rand() % 4);
}

} // namespace

void DeplacerFantomes(Carte& carte)
{
    VerifierCollisions(carte);
    for (Fantome& fantome : carte.fantomes) {
        DeplacerFantome(carte, fantome);
    }
    VerifierCollisions(carte);
    GenererFantome(carte);
}

void VerifierCollisions(Carte& carte)
{
    for (const Fantome& fantome : carte.fantomes) {
        if (!EstInvalide(fantome.pos) && fantome.pos == carte.glouto.pos) {
            carte.glouto.vivant = false;
        }
    }
}

void DeplacerFantome(Carte& carte, Fantome& fantome)
{
    if (EstInvalide(fantome.pos)) {
        return;
    }
    if (fantome.pos == carte.glouto.pos) {
        carte.glouto.vivant = false;
    }
    Position cible;
    switch (fantome.direction) {
    case EST:
        cible = Est(fantome.pos);
        break;
    case NORD:
        cible = Nord(fantome.pos);
        break;
    case OUEST:
        cible = Ouest(fantome.pos);
        break;
    case SUD:
        cible = Sud(fantome.pos);
        break;
    default:
        std::cerr << "Direction invalide pour un fant\xF4me: " << fantome.direction << std::endl;
        return;
    }
    TenterDeplacement(carte, cible, fantome);
}

void TenterDeplacement(Carte& carte, Position cible, Fantome& fantome)
{
    const Case c = ObtenirCase(carte, cible);
    if (!EstObstacle(c) && EstSurGrille(cible)) {
        fantome.pos = cible;
    } else {
        // Bloqué : il reste sur place ce tour-ci et essaiera le nouveau cap au suivant.
        ChangerDirection(fantome);
    }
}

void ChangerDirection(Fantome& fantome)
{
    const Direction ancienne = fantome.direction;
    do {
        fantome.direction = TirerDirection();
    } while (fantome.direction == ancienne);
}

void GenererFantome(Carte& carte)
{
    for (Fantome& fantome : carte.fantomes) {
        if (EstInvalide(fantome.pos)) {
            fantome = Fantome(TrouverCase(carte, GENERATEUR_FANTOME), TirerDirection());
            return;
        }
    }
}
