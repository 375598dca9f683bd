#include "console/partie.h"
#include "console/terminal.h"
#include "outils.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <pty.h>
#include <string>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

const std::string INVITE = "Votre choix: ";
const std::string MENU = "[E] - Est; [N] - Nord; [O] - Ouest; [S] - Sud; [Q] - Quitter; ";

TEST(Terminal, ConversionVersUtf8)
{
    struct Cas {
        unsigned char octet;
        const char* utf8;
    };
    const Cas cas[] = {
        {'A', "A"},       {' ', " "},       {'\n', "\n"},     {0xE9, "\u00E9"},
        {0xC2, "\u00C2"}, {0xFF, "\u00FF"}, {0xA0, "\u00A0"}, {0x80, "\u20AC"},
        {0x9F, "\u0178"}, {0x81, "\uFFFD"}, // sans caractère
        {1, "\u263A"},    {2, "\u263B"},    {'\t', "\u25CB"}, {'\r', "\u266A"},
        {26, "\u2192"},   {27, "\u2190"},   {127, "\u2302"},  {0, " "},
    };
    for (const Cas& c : cas) {
        EXPECT_EQ(ConvertirOctetUtf8(c.octet), c.utf8) << static_cast<int>(c.octet);
    }
}

// Le plateau vu par un terminal : couleurs refermées, chaque ligne effacée avant d'être redessinée,
// et un octet ESC du niveau montré comme une image, jamais envoyé tel quel.
TEST(Terminal, PlateauEnCouleurs)
{
    const std::string image = "##.\x02\x01#\n"
                              "\x1b\xE9 PF\x7F\n"
                              "\x01\x01\x02 \n";
    std::string sortie = "avant";
    ConvertirPlateauTerminal(image, sortie);

    const std::string bleu = "\x1b[34m", rouge = "\x1b[31m", jaune = "\x1b[1;33m";
    const std::string fin = "\x1b[0m", el = "\x1b[K";
    EXPECT_EQ(sortie, "avant\x1b[H" + el +                                              //
                          bleu + "##" + fin + "." + jaune + "\u263B" + fin + rouge +    //
                          "\u263A" + fin + bleu + "#" + fin + "\n" + el +               //
                          bleu + "\u2190\u00E9" + fin + " PF" + bleu + "\u2302" + fin + //
                          "\n" + el +                                                   //
                          rouge + "\u263A\u263A" + fin + jaune + "\u263B" + fin + " " + //
                          "\n\x1b[J");

    // Une dernière rangée sans saut de ligne est refermée elle aussi.
    sortie.clear();
    ConvertirPlateauTerminal("#", sortie);
    EXPECT_EQ(sortie, "\x1b[H" + el + bleu + "#" + fin + "\x1b[J");
}

// Le dessin d'un tour : 21 lignes de 78 octets, Glouto par-dessus un
// fantôme, un fantôme par-dessus la case, un fantôme pas encore entré nulle part.
TEST(Terminal, ImageDuPlateau)
{
    Carte carte = CarteDepuis({"#P. ", ". F"});
    carte.glouto.pos = {2, 0};
    carte.fantomes[0] = Fantome({2, 0}, EST);
    carte.fantomes[1] = Fantome({0, 1}, NORD);
    carte.fantomes[2] = Fantome({0, 1}, SUD);

    FluxDetournes flux;
    AfficherCarte(carte);

    std::string attendu = "#P\x02" + std::string(LARGEUR - 3, ' ') + "\n" + "\x01 F" +
                          std::string(LARGEUR - 3, ' ') + "\n";
    for (int y = 2; y < HAUTEUR; ++y) {
        attendu += std::string(LARGEUR, ' ') + "\n";
    }
    EXPECT_EQ(flux.sortie.str(), attendu);
    EXPECT_EQ(ObtenirCase(carte, {2, 0}), PASTILLE);
}

// ---------------------------------------------------------------------------
// La console installée dans un processus fils, dont on observe les écritures.

// Lance `jeu` dans un fils dont l'entrée standard contient `entree` et dont les
// deux sorties vont au même canal `sortie` ; rend ce que le fils a écrit.
void LancerFils(const std::string& entree, int sortie, const std::function<void()>& jeu)
{
    int tube[2];
    ASSERT_EQ(::pipe(tube), 0);
    std::fflush(stdout);
    const pid_t fils = ::fork();
    ASSERT_GE(fils, 0);
    if (fils == 0) {
        ::dup2(tube[0], 0);
        ::dup2(sortie, 1);
        ::dup2(sortie, 2);
        ::close(tube[0]);
        ::close(tube[1]);
        InstallerConsole();
        jeu();
        // Une dernière lecture envoie ce qui attend encore ; pas de exit(), qui
        // rejouerait les fins de programme du processus de test.
        std::cin.clear();
        std::cin.peek();
        ::_exit(0);
    }
    ::close(tube[0]);
    ASSERT_EQ(::write(tube[1], entree.data(), entree.size()), static_cast<ssize_t>(entree.size()));
    ::close(tube[1]);
}

int AttendreFils()
{
    int statut = 0;
    ::wait(&statut);
    return statut;
}

// Chaque écriture du fils, dans l'ordre, sur ses deux sorties confondues : un
// canal à paquets garde la frontière de chaque écriture.
std::vector<std::string> Ecritures(const std::string& entree, const std::function<void()>& jeu)
{
    int canal[2];
    if (::socketpair(AF_UNIX, SOCK_SEQPACKET, 0, canal) != 0) {
        ADD_FAILURE() << "socketpair";
        return {};
    }
    LancerFils(entree, canal[1], jeu);
    ::close(canal[1]);
    std::vector<std::string> ecritures;
    std::string paquet(1 << 20, '\0');
    for (ssize_t n; (n = ::recv(canal[0], paquet.data(), paquet.size(), 0)) > 0;) {
        ecritures.emplace_back(paquet.data(), static_cast<std::size_t>(n));
    }
    ::close(canal[0]);
    EXPECT_EQ(AttendreFils(), 0);
    return ecritures;
}

std::string ImageDe(const Carte& carte)
{
    FluxDetournes flux;
    AfficherCarte(carte);
    return flux.sortie.str();
}

std::string Tour(const Carte& carte)
{
    return ImageDe(carte) + "Vous avez " + std::to_string(carte.glouto.points) + " points\n" +
           MENU + INVITE;
}

// Un tour sort d'une seule écriture ; une ligne d'erreur écrite en plusieurs
// morceaux aussi, et jamais avant la sortie standard écrite avant elle.
TEST(Console, UneEcritureParTour)
{
    Carte carte = CarteDepuis({"P. ", "F"});
    const std::string tour1 = Tour(carte);
    Carte apres = carte;
    DeplacerGlouto(apres, {1, 0});
    const std::string tour2 = Tour(apres);

    const std::vector<std::string> ecritures = Ecritures("e\n", [&carte] {
        AfficherCarte(carte);
        AfficherMenu(carte.glouto);
        TraiterChoix(carte, LireChoix());
        std::cout << "avant";
        TraiterChoix(carte, 'X');
        AfficherCarte(carte);
        AfficherMenu(carte.glouto);
        LireChoix();
    });
    const std::vector<std::string> attendues = {
        tour1, "avant", "ERREUR -- TraiterChoix(), param\xE8tre ill\xE9gal --> X\n", tour2, "\n",
    };
    EXPECT_EQ(ecritures, attendues);
}

// Des lettres tapées d'avance : les tours attendent d'être assez nombreux pour
// partir ensemble, mais aucune écriture ne coupe un tour.
TEST(Console, ToursTapesDAvance)
{
    constexpr int TOURS = 200;
    Carte carte = CarteDepuis({"P", "F"});
    const std::string tour = Tour(carte);

    const std::vector<std::string> ecritures = Ecritures(std::string(TOURS, 'n'), [&carte] {
        for (int i = 0; i < TOURS; ++i) {
            AfficherCarte(carte);
            AfficherMenu(carte.glouto);
            LireChoix();
        }
    });
    ASSERT_GE(ecritures.size(), 2u);
    EXPECT_LT(ecritures.size(), static_cast<std::size_t>(TOURS) / 10);
    std::size_t tours = 0;
    for (const std::string& e : ecritures) {
        ASSERT_EQ(e.size() % tour.size(), 0u);
        for (std::size_t debut = 0; debut < e.size(); debut += tour.size()) {
            EXPECT_EQ(e.compare(debut, tour.size(), tour), 0);
            ++tours;
        }
    }
    EXPECT_EQ(tours, static_cast<std::size_t>(TOURS));
}

// Sur un vrai terminal (un pseudo-terminal) : le plateau en couleurs redessiné
// depuis le coin, les textes et les erreurs en UTF-8.
TEST(Console, SurUnTerminal)
{
    int maitre = -1;
    int esclave = -1;
    if (::openpty(&maitre, &esclave, nullptr, nullptr, nullptr) != 0) {
        GTEST_SKIP() << "pas de pseudo-terminal sur cette machine";
    }
    Carte carte = CarteDepuis({"P#", "F"});
    LancerFils("", esclave, [&carte] {
        AfficherCarte(carte);
        AfficherMenu(carte.glouto);
        std::cerr << "Erreur \xE9" << std::endl;
    });
    ::close(esclave);
    std::string recu;
    char morceau[4096];
    for (ssize_t n; (n = ::read(maitre, morceau, sizeof morceau)) > 0;) {
        recu.append(morceau, static_cast<std::size_t>(n));
    }
    ::close(maitre);
    EXPECT_EQ(AttendreFils(), 0);

    // Le terminal rend chaque saut de ligne en retour chariot et saut de ligne.
    std::string attendu;
    ConvertirPlateauTerminal(ImageDe(carte), attendu);
    attendu += "Vous avez 0 points\n" + MENU + "Erreur \u00E9\n";
    std::string avecRetours;
    for (const char c : attendu) {
        avecRetours += c == '\n' ? std::string("\r\n") : std::string(1, c);
    }
    EXPECT_EQ(recu, avecRetours);
}

} // namespace
