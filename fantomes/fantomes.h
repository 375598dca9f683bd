// Les fantômes : entrée par le générateur 'F', course en ligne droite,
// changement de cap au hasard quand ils butent, capture de Glouto.
#pragma once

#include "plateau/carte.h"

// La phase des fantômes, qui clôt chaque tour.
void DeplacerFantomes(Carte& carte);

// Glouto meurt si un fantôme placé se tient sur sa case.
void VerifierCollisions(Carte& carte);

// Un pas d'un fantôme dans son cap.
void DeplacerFantome(Carte& carte, Fantome& fantome);

// Avance le fantôme sur cible si elle est praticable, sinon lui fait changer de cap.
void TenterDeplacement(Carte& carte, Position cible, Fantome& fantome);

// Tire au hasard un nouveau cap, différent de l'actuel.
void ChangerDirection(Fantome& fantome);

// Fait entrer sur 'F' le premier fantôme qui n'est pas encore sur le plateau.
void GenererFantome(Carte& carte);
