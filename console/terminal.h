// La couche terminal : tout ce qui dépend de ce que sont réellement les flux
// standard (un terminal ou non) vit ici, et seulement ici.
//
// Le jeu écrit ses octets (textes en Windows-1252, symboles 1 et 2) sur
// std::cout et std::cerr sans rien savoir du terminal. Une fois la console
// installée :
//  - vers un terminal, ces octets sont convertis en UTF-8 (les symboles et les
//    autres octets de contrôle en images de la page de code 437), et le
//    plateau est redessiné en couleurs par-dessus le précédent ;
//  - ailleurs (fichier, tube), ils sortent inchangés.
// La sortie standard est retenue en mémoire et ne part vers le système, d'une
// seule écriture, qu'au moment où le jeu attend une lettre (ou avant une ligne
// d'erreur, ou à la fin) : un tour arrive à l'écran d'un seul tenant. Une
// ligne d'erreur part elle aussi d'une seule écriture, une fois finie.
#pragma once

#include <string>
#include <string_view>

// Installe la couche sur std::cout, std::cerr et std::cin. À appeler une fois,
// au début de main. Sans elle, les flux restent ceux de la bibliothèque standard.
void InstallerConsole();

// Envoie au système tout ce qui attend sur la sortie standard ; faux si elle a
// refusé une écriture, maintenant ou plus tôt dans la partie.
bool ViderConsole();

// Écrit l'image du plateau d'un tour : ses rangées, chacune suivie de '\n'.
// Hors terminal, les octets sortent tels quels sur std::cout. Vers un terminal,
// le curseur revient en haut à gauche, chaque rangée est redessinée par-dessus
// l'ancienne (convertie, en couleurs) et ce qui restait dessous est effacé.
void AfficherPlateau(std::string_view image);

// Ce que reçoit un terminal pour l'image donnée, ajouté au bout de `sortie` :
// retour du curseur en haut à gauche ; chaque rangée efface l'ancienne ligne
// puis s'écrit convertie en UTF-8, Glouto en jaune gras, les fantômes en rouge,
// les murs en bleu (chaque suite colorée suivie d'un retour aux couleurs
// normales) ; enfin, effacement de tout ce qui suit.
void ConvertirPlateauTerminal(std::string_view image, std::string& sortie);

// Conversion d'un octet Windows-1252 (ou de contrôle) en UTF-8, telle qu'elle
// est faite vers un terminal.
std::string ConvertirOctetUtf8(unsigned char octet);
