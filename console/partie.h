// Le déroulement d'une partie : tours, dessin du plateau, menu et choix.
#pragma once

#include "plateau/carte.h"

// Joue toute la partie sur la carte chargée et écrit le verdict ; rend le
// statut de sortie du programme.
int JouerPartie(Carte& carte);

// Un tour : dessin du plateau, puis la phase des fantômes.
void JouerTour(Carte& carte);

// Efface la console et dessine les 21 lignes du plateau.
void AfficherCarte(const Carte& carte);

// Ligne du score, puis la ligne du menu (sans fin de ligne).
void AfficherMenu(const Glouto& glouto);

// Lit jusqu'à une lettre acceptée (E, N, O, S, Q) et la rend en majuscule.
// En fin d'entrée, passe à la ligne et rend 'Q'.
char LireChoix();

// Joue un déplacement E, N, O ou S.
void TraiterChoix(Carte& carte, char choix);
