// La carte : grille lue dans le fichier de niveau, Glouto et les fantômes.
// C'est tout l'état d'une partie.
#pragma once

#include "plateau/case.h"
#include "plateau/position.h"

#include <array>
#include <cstdint>
#include <iosfwd>
#include <string>

// Le joueur.
struct Glouto {
    Position pos = POSITION_INVALIDE;
    std::int32_t points = 0;
    bool vivant = true;
    bool gagne = false;

    constexpr Glouto() = default;
    constexpr explicit Glouto(Position p) : pos(p) {}
};

// Un fantôme ; hors du plateau tant qu'il est à POSITION_INVALIDE.
struct Fantome {
    Position pos = POSITION_INVALIDE;
    Direction direction = AUCUNE;

    constexpr Fantome() = default;
    constexpr Fantome(Position p, Direction d) : pos(p), direction(d) {}
};

using Rangee = std::array<Case, LARGEUR>;
using Grille = std::array<Rangee, HAUTEUR>;

struct Carte {
    std::string nom;
    bool valide = false;
    Grille grille{};
    Glouto glouto;
    std::array<Fantome, NB_FANTOMES> fantomes{};
};

// Le seul niveau du jeu, cherché dans le répertoire courant.
extern const std::string NOM_FICHIER_CARTE;

// Construit la carte à partir du fichier nommé. Quitte le programme (statut -1)
// si le fichier n'a pas exactement un générateur de chaque sorte.
Carte ChargerCarte(const std::string& nom);

// Les étapes du chargement, sans la sortie du programme : lire le fichier, puis
// vérifier les générateurs et placer Glouto.
Carte LireCarte(const std::string& nom);
void RemplirGrille(Carte& carte, std::istream& fichier);
bool VerifierGenerateurs(const Carte& carte);
void PlacerGlouto(Carte& carte);

// Prochain octet du fichier qui n'est pas un saut de ligne ; 0 en fin de fichier.
// Le fichier est lu en mode texte : CR LF vaut LF, l'octet 26 termine la lecture.
char LireCaractere(std::istream& fichier);

// Vérifie les générateurs (quitte avec -1 s'ils sont faux) et place Glouto sur 'P'.
void InitialiserGlouto(Carte& carte);

// La case en p ; '?' avec un message d'erreur si p est hors grille.
Case ObtenirCase(const Carte& carte, Position p);

std::int32_t CompterCases(const Carte& carte, Case c);

// Dernière position (dans l'ordre de lecture) où se trouve c ; POSITION_INVALIDE sinon.
Position TrouverCase(const Carte& carte, Case c);

Position PositionGlouto(const Carte& carte);

// Déplace Glouto sur une case voisine praticable, mange la pastille éventuelle.
// Vrai quand Glouto a bougé.
bool DeplacerGlouto(Carte& carte, Position cible);
