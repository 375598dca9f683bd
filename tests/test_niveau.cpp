// Le niveau livré avec le jeu : forme du fichier, générateurs, tunnels,
// et toutes les pastilles atteignables depuis le départ de Glouto.
#include "plateau/carte.h"
#include "plateau/case.h"
#include "plateau/position.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

const std::string FICHIER_NIVEAU = NIVEAU;

using Voisin = Position (*)(Position);
constexpr std::array<Voisin, 4> VOISINS = {Est, Nord, Ouest, Sud};

bool EstPraticable(const Carte& carte, Position p)
{
    return !EstObstacle(ObtenirCase(carte, p));
}

// Le niveau lu par le chargeur du jeu, générateurs vérifiés et Glouto placé.
Carte ChargerNiveau()
{
    Carte carte = LireCarte(FICHIER_NIVEAU);
    EXPECT_TRUE(carte.valide) << FICHIER_NIVEAU;
    EXPECT_TRUE(VerifierGenerateurs(carte));
    PlacerGlouto(carte);
    return carte;
}

bool TouchePraticable(const Carte& carte, Position p)
{
    for (const Voisin voisin : VOISINS) {
        if (EstPraticable(carte, voisin(p))) {
            return true;
        }
    }
    return false;
}

bool EstVoisinDe(Position p, Case generateur, const Carte& carte)
{
    for (const Voisin voisin : VOISINS) {
        if (ObtenirCase(carte, voisin(p)) == generateur) {
            return true;
        }
    }
    return false;
}

TEST(Niveau, FichierDe21LignesDe78CaracteresImprimables)
{
    std::ifstream fichier(FICHIER_NIVEAU, std::ios::binary);
    ASSERT_TRUE(fichier.is_open()) << FICHIER_NIVEAU;
    const std::string octets{std::istreambuf_iterator<char>(fichier),
                             std::istreambuf_iterator<char>()};

    std::vector<std::string> lignes;
    std::string::size_type debut = 0;
    for (std::string::size_type fin; (fin = octets.find('\n', debut)) != std::string::npos;) {
        lignes.push_back(octets.substr(debut, fin - debut));
        debut = fin + 1;
    }
    EXPECT_EQ(debut, octets.size()) << "la derni\xE8re ligne doit finir par LF";
    ASSERT_EQ(lignes.size(), static_cast<std::size_t>(HAUTEUR));
    for (std::size_t y = 0; y < lignes.size(); ++y) {
        EXPECT_EQ(lignes[y].size(), static_cast<std::size_t>(LARGEUR)) << "ligne " << y;
        for (const char c : lignes[y]) {
            EXPECT_TRUE(c >= ' ' && c <= '~') << "ligne " << y << ", octet " << static_cast<int>(c);
        }
    }
}

TEST(Niveau, GenerateursEtTunnels)
{
    const Carte carte = ChargerNiveau();
    const Position depart = TrouverCase(carte, GENERATEUR_GLOUTO);
    EXPECT_EQ(PositionGlouto(carte), depart);
    EXPECT_FALSE(EstInvalide(depart));

    // Les fantômes doivent pouvoir quitter leur générateur.
    const Position entree = TrouverCase(carte, GENERATEUR_FANTOME);
    ASSERT_FALSE(EstInvalide(entree));
    EXPECT_TRUE(TouchePraticable(carte, entree));

    // Un passage d'un bord à l'autre dans chaque sens.
    bool tunnelHorizontal = false;
    for (std::int16_t y = 0; y < HAUTEUR; ++y) {
        tunnelHorizontal = tunnelHorizontal ||
                           (EstPraticable(carte, {0, y}) && EstPraticable(carte, {LARGEUR - 1, y}));
    }
    bool tunnelVertical = false;
    for (std::int16_t x = 0; x < LARGEUR; ++x) {
        tunnelVertical = tunnelVertical ||
                         (EstPraticable(carte, {x, 0}) && EstPraticable(carte, {x, HAUTEUR - 1}));
    }
    EXPECT_TRUE(tunnelHorizontal);
    EXPECT_TRUE(tunnelVertical);
}

TEST(Niveau, PastillesPartoutEtToutesAtteignables)
{
    const Carte carte = ChargerNiveau();
    ASSERT_FALSE(EstInvalide(PositionGlouto(carte)));

    // Chaque couloir porte ses pastilles ; seules les cases collées aux
    // générateurs peuvent rester vides.
    for (std::int16_t y = 0; y < HAUTEUR; ++y) {
        for (std::int16_t x = 0; x < LARGEUR; ++x) {
            if (ObtenirCase(carte, {x, y}) == VIDE) {
                EXPECT_TRUE(EstVoisinDe({x, y}, GENERATEUR_GLOUTO, carte) ||
                            EstVoisinDe({x, y}, GENERATEUR_FANTOME, carte))
                    << x << "," << y;
            }
        }
    }

    // Parcours depuis le départ, bords traversés ; Glouto ne revient jamais sur 'P'.
    std::array<std::array<bool, LARGEUR>, HAUTEUR> atteinte{};
    std::vector<Position> aVisiter{PositionGlouto(carte)};
    while (!aVisiter.empty()) {
        const Position p = aVisiter.back();
        aVisiter.pop_back();
        for (const Voisin voisin : VOISINS) {
            const Position v = voisin(p);
            bool& vue = atteinte[static_cast<std::size_t>(v.y)][static_cast<std::size_t>(v.x)];
            if (!vue && EstPraticable(carte, v)) {
                vue = true;
                aVisiter.push_back(v);
            }
        }
    }

    EXPECT_GT(CompterCases(carte, PASTILLE), 0);
    for (std::int16_t y = 0; y < HAUTEUR; ++y) {
        for (std::int16_t x = 0; x < LARGEUR; ++x) {
            if (EstPastille(ObtenirCase(carte, {x, y}))) {
                EXPECT_TRUE(atteinte[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)])
                    << x << "," << y;
            }
        }
    }
}

} // namespace
