#include "plateau/carte.h"

#include <cstdlib>
#include <fstream>
#include <iostream>

const std::string NOM_FICHIER_CARTE = "Niveau1-ANSI.map";

namespace {

constexpr int FIN_TEXTE = 26; // Ctrl-Z : fin de fichier en mode texte

// Un octet du fichier en mode texte, ou EOF.
int LireOctetTexte(std::istream& fichier)
{
    const int octet = fichier.get();
    if (octet == FIN_TEXTE) {
        // Tout ce qui suit est ignoré, comme après la vraie fin du fichier.
        fichier.setstate(std::ios::eofbit | std::ios::failbit);
        return std::char_traits<char>::eof();
    }
    if (octet == '\r' && fichier.peek() == '\n') {
        return fichier.get();
    }
    return octet;
}

} // namespace

char LireCaractere(std::istream& fichier)
{
    int octet = LireOctetTexte(fichier);
    while (octet == '\n') {
        octet = LireOctetTexte(fichier);
    }
    if (octet == std::char_traits<char>::eof()) {
        return 0;
    }
    return static_cast<char>(octet);
}

void RemplirGrille(Carte& carte, std::istream& fichier)
{
    for (Rangee& rangee : carte.grille) {
        for (Case& c : rangee) {
            const char octet = LireCaractere(fichier);
            if (octet != 0) {
                c = octet;
            }
        }
    }
}

Carte LireCarte(const std::string& nom)
{
    Carte carte;
    carte.nom = nom;
    for (Rangee& rangee : carte.grille) {
        rangee.fill(VIDE);
    }

    std::ifstream fichier(nom, std::ios::binary);
    // Un fichier qui s'ouvre mais ne se lit pas (un répertoire, une erreur de
    // lecture) ne vaut pas mieux qu'un fichier absent.
    if (fichier.is_open()) {
        fichier.peek();
    }
    if (fichier.is_open() && !fichier.bad()) {
        RemplirGrille(carte, fichier);
    }
    if (!fichier.is_open() || fichier.bad()) {
        std::cerr << "Incapable d'ouvrir le fichier " << nom << std::endl;
        for (Rangee& rangee : carte.grille) {
            rangee.fill(VIDE);
        }
        return carte;
    }
    carte.valide = true;
    return carte;
}

bool VerifierGenerateurs(const Carte& carte)
{
    std::int32_t n = CompterCases(carte, GENERATEUR_GLOUTO);
    if (n != 1) {
        std::cerr << "Nombre ill\xE9gal de g\xE9n\xE9rateurs de Glouto. Attendu: 1; r\xE9"
                     "el: "
                  << n << std::endl;
        return false;
    }
    n = CompterCases(carte, GENERATEUR_FANTOME);
    if (n != 1) {
        std::cerr << "Nombre ill\xE9gal de g\xE9n\xE9rateurs de fant\xF4mes. Attendu: 1; r\xE9"
                     "el: "
                  << n << std::endl;
        return false;
    }
    return true;
}

void PlacerGlouto(Carte& carte)
{
    carte.glouto = Glouto(TrouverCase(carte, GENERATEUR_GLOUTO));
}

void InitialiserGlouto(Carte& carte)
{
    if (!VerifierGenerateurs(carte)) {
        std::exit(-1);
    }
    PlacerGlouto(carte);
}

Carte ChargerCarte(const std::string& nom)
{
    Carte carte = LireCarte(nom);
    InitialiserGlouto(carte);
    return carte;
}

Case ObtenirCase(const Carte& carte, Position p)
{
    if (!EstSurGrille(p)) {
        std::cerr << "Position { " << p.x << "," << p.y << " } est ill\xE9gale" << std::endl;
        return CASE_INCONNUE;
    }
    return carte.grille[static_cast<std::size_t>(p.y)][static_cast<std::size_t>(p.x)];
}

std::int32_t CompterCases(const Carte& carte, Case c)
{
    std::int32_t n = 0;
    for (std::int16_t y = 0; y < HAUTEUR; ++y) {
        for (std::int16_t x = 0; x < LARGEUR; ++x) {
            if (ObtenirCase(carte, {x, y}) == c) {
                ++n;
            }
        }
    }
    return n;
}

Position TrouverCase(const Carte& carte, Case c)
{
    Position trouvee = POSITION_INVALIDE;
    for (std::int16_t y = 0; y < HAUTEUR; ++y) {
        for (std::int16_t x = 0; x < LARGEUR; ++x) {
            if (ObtenirCase(carte, {x, y}) == c) {
                trouvee = {x, y};
            }
        }
    }
    return trouvee;
}

Position PositionGlouto(const Carte& carte)
{
    return carte.glouto.pos;
}

bool DeplacerGlouto(Carte& carte, Position cible)
{
    if (!EstVoisin(cible, carte.glouto.pos)) {
        return false;
    }
    const Case c = ObtenirCase(carte, cible);
    if (EstObstacle(c)) {
        return false;
    }
    if (EstPastille(c)) {
        carte.grille[static_cast<std::size_t>(cible.y)][static_cast<std::size_t>(cible.x)] = VIDE;
        carte.glouto.points += 10;
        if (CompterCases(carte, PASTILLE) == 0) {
            carte.glouto.gagne = true;
        }
    }
    carte.glouto.pos = cible;
    return true;
}
