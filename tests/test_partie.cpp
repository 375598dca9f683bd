#include "console/partie.h"
#include "outils.h"

#include <gtest/gtest.h>

namespace {

const std::string INVITE = "Votre choix: ";
const std::string ILLEGAL = "Choix ill\xE9gal, recommencez: ";

TEST(Partie, LireChoix)
{
    struct Cas {
        std::string entree;
        char choix;
        std::string sortie;
        std::string reste; // ce qui n'a pas été lu
    };
    const Cas cas[] = {
        {"n\n", 'N', INVITE, "\n"},
        {"  \t\r\n\v\fS", 'S', INVITE, ""},
        {"eo", 'E', INVITE, "o"},
        {"q", 'Q', INVITE, ""},
        {"x1\xE9n", 'N', INVITE + ILLEGAL + ILLEGAL + ILLEGAL, ""},
        // Fin de l'entrée : on passe à la ligne et on quitte.
        {"", 'Q', INVITE + "\n", ""},
        {"zz \n", 'Q', INVITE + ILLEGAL + ILLEGAL + "\n", ""},
    };
    for (const Cas& c : cas) {
        FluxDetournes flux(c.entree);
        EXPECT_EQ(LireChoix(), c.choix) << c.entree;
        EXPECT_EQ(flux.sortie.str(), c.sortie) << c.entree;
        std::string reste(std::istreambuf_iterator<char>(flux.entree), {});
        EXPECT_EQ(reste, c.reste) << c.entree;
    }
}

TEST(Partie, MenuEtErreurs)
{
    FluxDetournes flux;
    Glouto glouto({1, 1});
    glouto.points = 1230;
    AfficherMenu(glouto);
    EXPECT_EQ(flux.sortie.str(), "Vous avez 1230 points\n"
                                 "[E] - Est; [N] - Nord; [O] - Ouest; [S] - Sud; [Q] - Quitter; ");

    Carte carte = CarteDepuis({"P.", "F"});
    TraiterChoix(carte, 'X');
    EXPECT_EQ(carte.glouto.pos, Position(0, 0));
    EXPECT_EQ(flux.erreur.str(), "ERREUR -- TraiterChoix(), param\xE8tre ill\xE9gal --> X\n");

    TraiterChoix(carte, 'E');
    EXPECT_EQ(carte.glouto.pos, Position(1, 0));
    EXPECT_EQ(carte.glouto.points, 10);

    flux.erreur.str("");
    carte.valide = false;
    flux.sortie.str("");
    JouerTour(carte);
    EXPECT_EQ(flux.sortie.str(), "");
    EXPECT_EQ(flux.erreur.str(), "La carte essai.map est invalide\n");
}

} // namespace
