// Le contenu d'une case de la grille : un octet.
#pragma once

using Case = char;

inline constexpr Case VIDE = ' ';
inline constexpr Case PASTILLE = '.';
inline constexpr Case SYMBOLE_FANTOME = 1;
inline constexpr Case SYMBOLE_GLOUTO = 2;
inline constexpr Case GENERATEUR_GLOUTO = 'P';
inline constexpr Case GENERATEUR_FANTOME = 'F';
inline constexpr Case CASE_INCONNUE = '?';

bool EstPastille(Case c);

// Seuls le vide, la pastille et les deux symboles sont praticables ;
// tout le reste (murs, générateurs, case inconnue) fait obstacle.
bool EstObstacle(Case c);

// Écrit l'octet de la case tel quel sur la sortie standard.
void AfficherCase(Case c);
