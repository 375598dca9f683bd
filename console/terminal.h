// La couche terminal : tout ce qui dépend de ce que sont réellement les flux
// standard (un terminal ou non) vit ici, et seulement ici.
//
// Le jeu écrit ses octets (textes en Windows-1252, symboles 1 et 2) sur
// std::cout et std::cerr sans rien savoir du terminal. Une fois la console
// installée :
//  - vers un terminal, ces octets sont convertis en UTF-8 (les symboles et les
//    autres octets de contrôle en images de la page de code 437) ;
//  - ailleurs (fichier, tube), ils sortent inchangés.
// La sortie standard est retenue en mémoire et ne part vers le système qu'au
// moment où le jeu attend une lettre (ou avant une ligne d'erreur, ou à la
// fin) : un tour arrive à l'écran d'un seul tenant.
#pragma once

#include <cstddef>
#include <string>

// Installe la couche sur std::cout, std::cerr et std::cin. À appeler une fois,
// au début de main. Sans elle, les flux restent ceux de la bibliothèque standard.
void InstallerConsole();

// Efface l'écran avant un nouveau dessin du plateau ; n'écrit rien si la
// sortie standard n'est pas un terminal.
void EffacerConsole();

// Conversion d'un octet Windows-1252 (ou de contrôle) en UTF-8, telle qu'elle
// est faite vers un terminal.
std::string ConvertirOctetUtf8(unsigned char octet);
