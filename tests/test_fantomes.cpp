#include "console/partie.h"
#include "fantomes/fantomes.h"
#include "outils.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

// Couloir horizontal ouvert sur toute la rangée 1, 'F' au bout ouest, 'P' plus loin.
Carte Couloir()
{
    return CarteDepuis(
        {std::string(LARGEUR, '#'), "F" + std::string(40, '.') + "P", std::string(LARGEUR, '#')});
}

TEST(Fantomes, EntreeUnParTour)
{
    std::srand(7);
    Carte carte = Couloir();
    DeplacerFantomes(carte);
    EXPECT_EQ(carte.fantomes[0].pos, Position(0, 1));
    EXPECT_TRUE(EstDans(carte.fantomes[0].direction, EST, SUD));
    for (int i = 1; i < NB_FANTOMES; ++i) {
        EXPECT_EQ(carte.fantomes[i].pos, POSITION_INVALIDE);
        EXPECT_EQ(carte.fantomes[i].direction, AUCUNE);
    }
    DeplacerFantomes(carte);
    DeplacerFantomes(carte);
    EXPECT_TRUE(EstInvalide(carte.fantomes[3].pos));
    DeplacerFantomes(carte);
    for (const Fantome& f : carte.fantomes) {
        EXPECT_FALSE(EstInvalide(f.pos));
    }
}

TEST(Fantomes, CourseToutDroitAvecPassageDuBord)
{
    Carte carte = CarteDepuis({"P", "F"});
    struct Cas {
        Fantome depart;
        Position arrivee;
    };
    const Cas cas[] = {
        {{{77, 5}, EST}, {0, 5}}, {{{0, 5}, OUEST}, {77, 5}}, {{{4, 0}, NORD}, {4, 20}},
        {{{4, 20}, SUD}, {4, 0}}, {{{4, 4}, SUD}, {4, 5}},
    };
    for (const Cas& c : cas) {
        Fantome f = c.depart;
        DeplacerFantome(carte, f);
        EXPECT_EQ(f.pos, c.arrivee);
        EXPECT_EQ(f.direction, c.depart.direction);
    }
}

TEST(Fantomes, BloqueIlResteEtChangeDeCap)
{
    // Un fantôme en (1,1) entouré de murs, de 'P' et de 'F'.
    Carte carte = CarteDepuis({"#F#", "P #", "###"});
    for (unsigned graine = 1; graine < 40; ++graine) {
        for (Direction cap = EST; cap <= SUD; ++cap) {
            std::srand(graine);
            Fantome f({1, 1}, cap);
            DeplacerFantome(carte, f);
            EXPECT_EQ(f.pos, Position(1, 1));
            EXPECT_NE(f.direction, cap);
            EXPECT_TRUE(EstDans(f.direction, EST, SUD));
        }
    }
}

TEST(Fantomes, TiragesDansLOrdreDuTour)
{
    // Trois fantômes cap à l'est contre un mur ; le quatrième n'est pas encore entré.
    Carte carte = CarteDepuis({"P", " #", " #", " #", "F"});
    for (int i = 0; i < 3; ++i) {
        carte.fantomes[i] = Fantome({0, static_cast<std::int16_t>(i + 1)}, EST);
    }
    // Les tirages attendus : les nouveaux caps des fantômes 0 à 2 dans l'ordre,
    // chacun retiré tant qu'il vaut l'ancien, puis le cap du fantôme qui entre.
    const unsigned graine = 2024;
    std::srand(graine);
    Direction attendus[NB_FANTOMES] = {};
    for (int i = 0; i < 3; ++i) {
        do {
            attendus[i] = static_cast<Direction>(std::rand() % 4);
        } while (attendus[i] == EST);
    }
    attendus[3] = static_cast<Direction>(std::rand() % 4);

    std::srand(graine);
    DeplacerFantomes(carte);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(carte.fantomes[i].pos, Position(0, static_cast<std::int16_t>(i + 1)));
        EXPECT_EQ(carte.fantomes[i].direction, attendus[i]) << i;
    }
    EXPECT_EQ(carte.fantomes[3].pos, Position(0, 4));
    EXPECT_EQ(carte.fantomes[3].direction, attendus[3]);
}

TEST(Fantomes, JamaisSurUnObstacleNiDeRetourSurF)
{
    for (unsigned graine = 1; graine <= 20; ++graine) {
        std::srand(graine);
        Carte carte = CarteDepuis({});
        for (Rangee& rangee : carte.grille) {
            for (Case& c : rangee) {
                c = std::rand() % 3 == 0 ? '#' : (std::rand() % 2 == 0 ? '.' : ' ');
            }
        }
        carte.grille[10][40] = 'F';
        carte.grille[10][41] = ' ';
        carte.grille[3][3] = 'P';
        PlacerGlouto(carte);
        const Carte depart = carte;
        bool sortis[NB_FANTOMES] = {};
        for (int tour = 0; tour < 500; ++tour) {
            DeplacerFantomes(carte);
            for (int i = 0; i < NB_FANTOMES; ++i) {
                const Position p = carte.fantomes[i].pos;
                if (EstInvalide(p)) {
                    continue;
                }
                const bool surF = p == Position(40, 10);
                ASSERT_FALSE(sortis[i] && surF) << "graine " << graine << ", tour " << tour;
                sortis[i] = sortis[i] || !surF;
                ASSERT_TRUE(surF || !EstObstacle(ObtenirCase(carte, p)))
                    << "graine " << graine << ", tour " << tour;
            }
        }
        // Les fantômes ne touchent ni aux pastilles ni au score.
        EXPECT_EQ(carte.grille, depart.grille);
        EXPECT_EQ(carte.glouto.points, 0);
    }
}

TEST(Fantomes, Captures)
{
    struct Cas {
        const char* nom;
        Fantome fantome;
        Position glouto; // après le pas de Glouto
    };
    // Glouto part de (5,1) ; le couloir est la rangée 1.
    const Cas cas[] = {
        {"Glouto va sur le fantome", {{6, 1}, NORD}, {6, 1}},
        {"le fantome va sur Glouto", {{7, 1}, OUEST}, {6, 1}},
        {"ils se croisent", {{6, 1}, OUEST}, {6, 1}},
    };
    for (const Cas& c : cas) {
        std::srand(1);
        Carte carte = CarteDepuis({std::string(LARGEUR, '#'), "F    P" + std::string(10, ' '),
                                   std::string(LARGEUR, '#')});
        carte.fantomes[0] = c.fantome;
        carte.glouto.pos = c.glouto;
        DeplacerFantomes(carte);
        EXPECT_FALSE(carte.glouto.vivant) << c.nom;
    }

    // Un fantôme qui s'éloigne ne prend personne.
    Carte carte = CarteDepuis(
        {std::string(LARGEUR, '#'), "F    P" + std::string(10, ' '), std::string(LARGEUR, '#')});
    carte.fantomes[0] = Fantome({8, 1}, EST);
    carte.glouto.pos = {6, 1};
    DeplacerFantomes(carte);
    EXPECT_TRUE(carte.glouto.vivant);
}

TEST(Fantomes, CapInvalideSignale)
{
    Carte carte = Couloir();
    Fantome f({5, 1}, 7);
    FluxDetournes flux;
    DeplacerFantome(carte, f);
    EXPECT_EQ(f.pos, Position(5, 1));
    EXPECT_EQ(f.direction, 7);
    EXPECT_EQ(flux.erreur.str(), "Direction invalide pour un fant\xF4me: 7\n");
}

TEST(Fantomes, VictoireQuandLesDeuxDrapeauxSontLeves)
{
    Carte carte = Couloir();
    carte.glouto.gagne = true;
    carte.glouto.vivant = false;
    FluxDetournes flux("s");
    EXPECT_EQ(JouerPartie(carte), 0);
    const std::string fin = "Votre choix: F\xE9licitations pour cette belle victoire!\n";
    const std::string sortie = flux.sortie.str();
    ASSERT_GE(sortie.size(), fin.size());
    EXPECT_EQ(sortie.substr(sortie.size() - fin.size()), fin);
}

} // namespace
