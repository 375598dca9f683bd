// Positions sur la grille torique, directions des fantômes.
#pragma once

#include <cstdint>

// Dimensions fixes du plateau et nombre de fantômes.
inline constexpr std::int16_t LARGEUR = 78;
inline constexpr std::int16_t HAUTEUR = 21;
inline constexpr int NB_FANTOMES = 4;

// Une case de la grille : colonne x (0 à gauche), rangée y (0 en haut).
struct Position {
    std::int16_t x = 0;
    std::int16_t y = 0;

    constexpr Position() = default;
    constexpr Position(std::int16_t colonne, std::int16_t rangee) : x(colonne), y(rangee) {}

    friend constexpr bool operator==(const Position&, const Position&) = default;
};

// « Nulle part » : fantôme pas encore entré, recherche infructueuse, voisin hors grille.
inline constexpr Position POSITION_INVALIDE{-1, -1};

// Cap d'un fantôme.
using Direction = std::int16_t;
inline constexpr Direction EST = 0;
inline constexpr Direction NORD = 1;
inline constexpr Direction OUEST = 2;
inline constexpr Direction SUD = 3;
inline constexpr Direction AUCUNE = 4;

bool EstInvalide(Position p);

// Vrai quand min <= v <= max (bornes comprises).
bool EstDans(std::int16_t v, std::int16_t min, std::int16_t max);

// Vrai quand p désigne une case de la grille.
bool EstSurGrille(Position p);

// Voisins avec passage d'un bord au bord opposé ; POSITION_INVALIDE hors grille.
Position Est(Position p);
Position Nord(Position p);
Position Ouest(Position p);
Position Sud(Position p);

// Vrai quand les deux positions sont sur la grille et que cible touche origine.
bool EstVoisin(Position cible, Position origine);
