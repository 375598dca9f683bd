#include "outils.h"
#include "plateau/carte.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

// 21 lignes de 78 octets : rangée y remplie du caractère 'a' + y.
std::string Rangee78(int y)
{
    return std::string(LARGEUR, static_cast<char>('a' + y));
}

std::string Fichier(const std::string& finDeLigne, int rangees = HAUTEUR)
{
    std::string texte;
    for (int y = 0; y < rangees; ++y) {
        texte += Rangee78(y) + finDeLigne;
    }
    return texte;
}

Carte Remplir(const std::string& octets)
{
    Carte carte = CarteDepuis({});
    std::istringstream fichier(octets);
    RemplirGrille(carte, fichier);
    return carte;
}

std::string TexteRangee(const Carte& carte, int y)
{
    const ::Rangee& r = carte.grille[static_cast<std::size_t>(y)];
    return {r.begin(), r.end()};
}

TEST(FichierCarte, LesFormesDuFichierRemplissentLaGrille)
{
    struct Cas {
        const char* nom;
        std::string octets;
    };
    const Cas complets[] = {
        {"LF", Fichier("\n")},
        {"CR LF", Fichier("\r\n")},
        {"sans fin de ligne", Fichier("")},
        {"22e ligne ignoree", Fichier("\n") + "PPPPFFFF\n"},
        {"coupures ailleurs", "\n\n" + Rangee78(0).substr(0, 10) + "\n" + Rangee78(0).substr(10) +
                                  Fichier("\n").substr(LARGEUR + 1)},
    };
    for (const Cas& cas : complets) {
        const Carte carte = Remplir(cas.octets);
        for (int y = 0; y < HAUTEUR; ++y) {
            EXPECT_EQ(TexteRangee(carte, y), Rangee78(y)) << cas.nom << ", rangee " << y;
        }
    }
}

TEST(FichierCarte, FinPrecoceZeroEtCtrlZ)
{
    // 20 lignes : la dernière rangée reste vide.
    EXPECT_EQ(TexteRangee(Remplir(Fichier("\n", 20)), 20), std::string(LARGEUR, ' '));

    // Un octet nul occupe sa case mais la laisse vide.
    std::string avecZero = Fichier("\n");
    avecZero[3] = '\0';
    EXPECT_EQ(TexteRangee(Remplir(avecZero), 0), "aaa " + std::string(LARGEUR - 4, 'a'));

    // L'octet 26 termine la lecture comme la fin du fichier.
    std::string avecCtrlZ = Fichier("\n");
    avecCtrlZ.insert(LARGEUR + 1 + 5, "\x1a");
    const Carte coupee = Remplir(avecCtrlZ);
    EXPECT_EQ(TexteRangee(coupee, 0), Rangee78(0));
    EXPECT_EQ(TexteRangee(coupee, 1), "bbbbb" + std::string(LARGEUR - 5, ' '));
    EXPECT_EQ(TexteRangee(coupee, 2), std::string(LARGEUR, ' '));

    // Un CR seul est une case comme une autre.
    EXPECT_EQ(TexteRangee(Remplir("x\ry\r\r\n"), 0).substr(0, 5), "x\ry\r ");
}

TEST(FichierCarte, LireCaractereSauteLesSautsDeLigne)
{
    std::istringstream fichier("\n\nab\r\n\nc");
    EXPECT_EQ(LireCaractere(fichier), 'a');
    EXPECT_EQ(LireCaractere(fichier), 'b');
    EXPECT_EQ(LireCaractere(fichier), 'c');
    EXPECT_EQ(LireCaractere(fichier), 0);
    EXPECT_EQ(LireCaractere(fichier), 0);
}

TEST(FichierCarte, FichierIllisibleCommeFichierAbsent)
{
    const std::filesystem::path dossier =
        std::filesystem::temp_directory_path() / "glouto-test-carte-illisible";
    std::filesystem::create_directories(dossier);
    for (const std::string& nom : {(dossier / "absent.map").string(), dossier.string()}) {
        FluxDetournes flux;
        const Carte carte = LireCarte(nom);
        EXPECT_FALSE(carte.valide) << nom;
        EXPECT_EQ(flux.erreur.str(), "Incapable d'ouvrir le fichier " + nom + "\n");
        EXPECT_EQ(CompterCases(carte, VIDE), LARGEUR * HAUTEUR);
    }
    std::filesystem::remove_all(dossier);
}

TEST(FichierCarte, LectureDepuisLeDisque)
{
    const std::filesystem::path chemin =
        std::filesystem::temp_directory_path() / "glouto-test-carte.map";
    std::ofstream(chemin, std::ios::binary) << "#P.#\r\n#F \n";
    FluxDetournes flux;
    Carte carte = LireCarte(chemin.string());
    std::filesystem::remove(chemin);
    ASSERT_TRUE(carte.valide);
    EXPECT_EQ(carte.nom, chemin.string());
    EXPECT_EQ(TexteRangee(carte, 0).substr(0, 8), "#P.##F  ");
    ASSERT_TRUE(VerifierGenerateurs(carte));
    PlacerGlouto(carte);
    EXPECT_EQ(carte.glouto.pos, Position(1, 0));
    EXPECT_EQ(carte.glouto.points, 0);
    EXPECT_TRUE(carte.glouto.vivant);
    EXPECT_FALSE(carte.glouto.gagne);
    for (const Fantome& f : carte.fantomes) {
        EXPECT_EQ(f.pos, POSITION_INVALIDE);
        EXPECT_EQ(f.direction, AUCUNE);
    }
    EXPECT_EQ(flux.erreur.str(), "");
}

TEST(FichierCarte, GenerateursEnNombreIllegal)
{
    struct Cas {
        std::initializer_list<std::string> lignes;
        std::string rapport;
    };
    const std::string glouto = "Nombre ill\xE9gal de g\xE9n\xE9rateurs de Glouto. Attendu: 1; r\xE9"
                               "el: ";
    const std::string fantomes =
        "Nombre ill\xE9gal de g\xE9n\xE9rateurs de fant\xF4mes. Attendu: 1; r\xE9"
        "el: ";
    const Cas cas[] = {
        {{"P  P", "FF"}, glouto + "2\n"}, // Glouto d'abord, les fantômes ne sont pas vus
        {{"P"}, fantomes + "0\n"},
        {{"F"}, glouto + "0\n"},
        {{"PFF"}, fantomes + "2\n"},
    };
    for (const Cas& c : cas) {
        FluxDetournes flux;
        EXPECT_FALSE(VerifierGenerateurs(CarteDepuis(c.lignes)));
        EXPECT_EQ(flux.erreur.str(), c.rapport);
    }
}

TEST(FichierCarteDeathTest, GenerateursFauxTerminentLeProgramme)
{
    Carte carte = CarteDepuis({"PP F"});
    EXPECT_EXIT(InitialiserGlouto(carte), testing::ExitedWithCode(255), "Glouto. Attendu: 1");
}

TEST(Carte, CasesHorsGrilleEtRecherches)
{
    const Carte carte = CarteDepuis({"P..", "", ".F"});
    {
        FluxDetournes flux;
        EXPECT_EQ(ObtenirCase(carte, POSITION_INVALIDE), CASE_INCONNUE);
        EXPECT_EQ(ObtenirCase(carte, {78, 3}), CASE_INCONNUE);
        EXPECT_EQ(flux.erreur.str(), "Position { -1,-1 } est ill\xE9gale\n"
                                     "Position { 78,3 } est ill\xE9gale\n");
    }
    EXPECT_EQ(ObtenirCase(carte, {2, 0}), PASTILLE);
    EXPECT_EQ(CompterCases(carte, PASTILLE), 3);
    EXPECT_EQ(TrouverCase(carte, PASTILLE), Position(0, 2)); // la dernière dans l'ordre de lecture
    EXPECT_EQ(TrouverCase(carte, '#'), POSITION_INVALIDE);
    EXPECT_EQ(PositionGlouto(carte), Position(0, 0));
}

TEST(Carte, DeplacementsDeGlouto)
{
    // Glouto en (1,1), une pastille à l'est, un mur au sud, le passage du bord à l'ouest.
    Carte carte = CarteDepuis({"", " P.F", " #", "", "", "", "", "", "", "",  "",
                               "", "",     "",   "", "", "", "", "", "", ". "});
    struct Pas {
        Position cible;
        bool bouge;
        Position apres;
        std::int32_t points;
    };
    const Pas pas[] = {
        {{3, 1}, false, {1, 1}, 0},  // deux cases plus loin
        {{2, 2}, false, {1, 1}, 0},  // en diagonale
        {{1, 2}, false, {1, 1}, 0},  // contre un mur
        {{2, 1}, true, {2, 1}, 10},  // pastille mangée
        {{1, 1}, false, {2, 1}, 10}, // retour sur 'P' refusé
        {{3, 1}, false, {2, 1}, 10}, // 'F' fait obstacle
        {{2, 0}, true, {2, 0}, 10},  // case vide
        {{2, 1}, true, {2, 1}, 10},  // la pastille mangée ne compte plus
        {{2, 0}, true, {2, 0}, 10},     {{1, 0}, true, {1, 0}, 10},   {{0, 0}, true, {0, 0}, 10},
        {{77, 0}, true, {77, 0}, 10}, // passage du bord ouest au bord est
        {{77, 20}, true, {77, 20}, 10}, {{0, 20}, true, {0, 20}, 20}, // la dernière pastille
    };
    for (const Pas& p : pas) {
        EXPECT_EQ(DeplacerGlouto(carte, p.cible), p.bouge) << p.cible.x << "," << p.cible.y;
        EXPECT_EQ(carte.glouto.pos, p.apres);
        EXPECT_EQ(carte.glouto.points, p.points);
        EXPECT_EQ(carte.glouto.gagne, p.points == 20);
    }
    EXPECT_EQ(ObtenirCase(carte, {2, 1}), VIDE);
    EXPECT_EQ(CompterCases(carte, PASTILLE), 0);
}

TEST(Carte, SansPastilleOnNeGagneJamais)
{
    Carte carte = CarteDepuis({"P  F"});
    EXPECT_TRUE(DeplacerGlouto(carte, {1, 0}));
    EXPECT_TRUE(DeplacerGlouto(carte, {2, 0}));
    EXPECT_FALSE(carte.glouto.gagne);
}

} // namespace
