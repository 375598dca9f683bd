// Le dessin du plateau à la manière la plus directe, gardé comme point de
// comparaison pour les mesures : chaque case écrite par operator<< sur
// std::cout, chaque ligne finie par std::endl (donc un vidage par ligne).
#pragma once

#include "plateau/carte.h"

void AfficherCarteNaif(const Carte& carte);

// Un tour avec ce dessin : plateau, puis la phase des fantômes.
void JouerTourNaif(Carte& carte);
