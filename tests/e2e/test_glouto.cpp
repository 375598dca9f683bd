// Parties complètes du vrai programme glouto : chaque test le lance dans un
// répertoire neuf qui contient un niveau écrit par le test, lui donne une
// entrée préparée (un fichier, jamais un terminal) et compare octet par octet
// la sortie standard, la sortie d'erreur et le statut de sortie.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <linux/capability.h>
#include <random>
#include <sstream>
#include <string>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#ifndef GLOUTO_CHEMIN
#error "GLOUTO_CHEMIN doit donner le chemin du programme glouto construit"
#endif

namespace {

namespace fs = std::filesystem;

constexpr int LARGEUR = 78;
constexpr int HAUTEUR = 21;
const std::string NOM_CARTE = "Niveau1-ANSI.map";

// Au-delà, le programme est tué (SIGALRM) : un jeu qui attendrait sans fin
// fait échouer le test au lieu de le bloquer.
constexpr unsigned DELAI_MAX_SECONDES = 10;

// ---------------------------------------------------------------------------
// Les niveaux

// Une case : colonne x (0 à gauche), rangée y (0 en haut).
struct Lieu {
    int x;
    int y;
};

// Le plateau tel que le jeu doit le lire : 21 rangées de 78 octets.
using Plateau = std::array<std::string, HAUTEUR>;

// Une rangée de murs, avec `gauche` au début et `droite` à la fin.
std::string Rangee(const std::string& gauche, const std::string& droite = "")
{
    return gauche + std::string(LARGEUR - gauche.size() - droite.size(), '#') + droite;
}

char& CaseDe(Plateau& plateau, Lieu l)
{
    return plateau[static_cast<std::size_t>(l.y)][static_cast<std::size_t>(l.x)];
}

const Lieu DEPART{76, 1};
const Lieu GENERATEUR_FANTOMES{40, 2};

// Le niveau des parties jouées : un couloir sur la rangée 1 qui passe par le
// bord est/ouest, un passage vertical en colonne 1 qui passe par le bord
// nord/sud, quatre pastilles ((0,1), (2,1), (77,1), (1,2)), et le générateur
// des fantômes emmuré de tous côtés : les fantômes ne peuvent jamais en sortir.
// Les autres rangées portent chacune une lettre différente, pour qu'un
// décalage de lecture se voie sur le dessin.
Plateau PlateauDeBase()
{
    Plateau p;
    p.fill(Rangee(""));
    p[0] = Rangee("# ");
    p[1] = Rangee(". .", " P.");
    p[2] = Rangee("#.");
    CaseDe(p, GENERATEUR_FANTOMES) = 'F';
    for (int y = 3; y < HAUTEUR - 1; ++y) {
        CaseDe(p, {(y * 7) % LARGEUR, y}) = static_cast<char>('a' + y);
    }
    p[20] = Rangee("# ");
    return p;
}

// Le contenu du fichier : chaque rangée suivie de `finDeLigne`.
std::string TexteCarte(const Plateau& plateau, const std::string& finDeLigne = "\n")
{
    std::string texte;
    for (const std::string& rangee : plateau) {
        texte += rangee + finDeLigne;
    }
    return texte;
}

Lieu Trouver(const Plateau& plateau, char c)
{
    for (int y = 0; y < HAUTEUR; ++y) {
        const std::size_t x = plateau[static_cast<std::size_t>(y)].find(c);
        if (x != std::string::npos) {
            return {static_cast<int>(x), y};
        }
    }
    ADD_FAILURE() << "le plateau attendu n'a pas de '" << c << "'";
    return {0, 0};
}

// ---------------------------------------------------------------------------
// Ce que le jeu doit écrire

const std::string MENU = "[E] - Est; [N] - Nord; [O] - Ouest; [S] - Sud; [Q] - Quitter; ";
const std::string INVITE = "Votre choix: ";
const std::string CHOIX_ILLEGAL = "Choix ill\xE9gal, recommencez: ";
const std::string VICTOIRE = "F\xE9licitations pour cette belle victoire!\n";
const std::string DEFAITE = "\xC2pre d\xE9"
                            "faite...\n";

std::string ErreurOuverture()
{
    return "Incapable d'ouvrir le fichier " + NOM_CARTE + "\n";
}

std::string ErreurGenerateursGlouto(int reel)
{
    return "Nombre ill\xE9gal de g\xE9n\xE9rateurs de Glouto. Attendu: 1; r\xE9"
           "el: " +
           std::to_string(reel) + "\n";
}

std::string ErreurGenerateursFantomes(int reel)
{
    return "Nombre ill\xE9gal de g\xE9n\xE9rateurs de fant\xF4mes. Attendu: 1; r\xE9"
           "el: " +
           std::to_string(reel) + "\n";
}

// Le dessin d'un plateau : Glouto (octet 2) par-dessus tout, les fantômes
// (octet 1) par-dessus les cases, chaque rangée de 78 octets suivie d'un saut
// de ligne. Rien n'est écrit pour l'effacement : la sortie n'est pas un terminal.
std::string DessinPlateau(const Plateau& plateau, Lieu glouto, const std::vector<Lieu>& fantomes)
{
    Plateau dessin = plateau;
    for (const Lieu& f : fantomes) {
        CaseDe(dessin, f) = '\x01';
    }
    CaseDe(dessin, glouto) = '\x02';
    return TexteCarte(dessin);
}

std::string ScoreMenuInvite(int points)
{
    return "Vous avez " + std::to_string(points) + " points\n" + MENU + INVITE;
}

// La sortie attendue d'une partie, construite tour par tour.
struct Attendu {
    Plateau plateau;            // les cases, pastilles déjà mangées enlevées
    std::vector<Lieu> fantomes; // montrés sur chaque plateau après le premier
    int plateauxDessines = 0;
    std::string sortie;
};

// Un tour : Glouto est en `glouto` avec `points` ; plateau, score, menu, invite.
void Tour(Attendu& a, Lieu glouto, int points)
{
    const std::vector<Lieu> aucun;
    a.sortie += DessinPlateau(a.plateau, glouto, a.plateauxDessines == 0 ? aucun : a.fantomes);
    a.sortie += ScoreMenuInvite(points);
    ++a.plateauxDessines;
    // Une pastille où Glouto est passé est mangée pour la suite.
    if (CaseDe(a.plateau, glouto) == '.') {
        CaseDe(a.plateau, glouto) = ' ';
    }
}

// Le premier écran : Glouto sur 'P' avec 0 point. `fantomes` : où les fantômes
// se montrent sur chaque plateau à partir du deuxième.
Attendu Commencer(const Plateau& plateau, const std::vector<Lieu>& fantomes)
{
    Attendu a{plateau, fantomes, 0, ""};
    Tour(a, Trouver(plateau, 'P'), 0);
    return a;
}

void Illegal(Attendu& a, int fois = 1)
{
    for (int i = 0; i < fois; ++i) {
        a.sortie += CHOIX_ILLEGAL;
    }
}

// L'entrée s'épuise avant une lettre acceptée : passage à la ligne, puis le
// verdict comme sur Q.
void FinEntree(Attendu& a)
{
    a.sortie += "\n";
}

// Montre un extrait en rendant visibles les octets non imprimables.
std::string Montrer(const std::string& octets)
{
    std::ostringstream flux;
    for (const char c : octets) {
        const auto u = static_cast<unsigned char>(c);
        if (u == '\n') {
            flux << "\\n";
        } else if (u < 32 || u >= 127 || u == '\\') {
            static const char HEX[] = "0123456789ABCDEF";
            flux << "\\x" << HEX[u >> 4] << HEX[u & 15];
        } else {
            flux << c;
        }
    }
    return flux.str();
}

// Égalité octet par octet ; en cas d'écart, dit où et montre les alentours.
::testing::AssertionResult MemesOctets(const std::string& attendu, const std::string& obtenu)
{
    if (attendu == obtenu) {
        return ::testing::AssertionSuccess();
    }
    std::size_t i = 0;
    while (i < attendu.size() && i < obtenu.size() && attendu[i] == obtenu[i]) {
        ++i;
    }
    const auto ligne = std::count(obtenu.begin(), obtenu.begin() + static_cast<long>(i), '\n');
    const std::size_t debut = i < 40 ? 0 : i - 40;
    return ::testing::AssertionFailure()
           << "premier écart à l'octet " << i << " (ligne " << ligne + 1 << ") ; tailles "
           << attendu.size() << " attendue, " << obtenu.size() << " obtenue\n  attendu : …"
           << Montrer(attendu.substr(debut, 120)) << "\n  obtenu  : …"
           << Montrer(obtenu.substr(debut, 120));
}

// ---------------------------------------------------------------------------
// Lancer le programme

struct Resultat {
    std::string sortie;
    std::string erreur;
    int statut = -1; // code de sortie, ou 128 + signal si le programme a été tué
};

std::string LireFichier(const fs::path& chemin)
{
    std::ifstream fichier(chemin, std::ios::binary);
    return {std::istreambuf_iterator<char>(fichier), std::istreambuf_iterator<char>()};
}

void EcrireFichier(const fs::path& chemin, const std::string& octets)
{
    std::ofstream fichier(chemin, std::ios::binary | std::ios::trunc);
    fichier << octets;
    ASSERT_TRUE(fichier.good()) << chemin;
}

// Chaque test a son répertoire temporaire : `jeu/` est le répertoire courant
// du programme (il n'y trouve que le niveau), l'entrée et les deux sorties
// sont des fichiers à côté.
class Glouto : public ::testing::Test {
public:
    void SetUp() override
    {
        std::string modele = (fs::temp_directory_path() / "glouto-e2e-XXXXXX").string();
        ASSERT_NE(::mkdtemp(modele.data()), nullptr) << "mkdtemp : errno " << errno;
        racine_ = modele;
        jeu_ = racine_ / "jeu";
        fs::create_directory(jeu_);
    }

    void TearDown() override
    {
        std::error_code ignore;
        fs::remove_all(racine_, ignore);
    }

    void EcrireCarte(const std::string& octets) { EcrireFichier(jeu_ / NOM_CARTE, octets); }

    void EcrireCarte(const Plateau& plateau) { EcrireCarte(TexteCarte(plateau)); }

    void CreerDossierCarte() { fs::create_directory(jeu_ / NOM_CARTE); }

    // Lance glouto sans argument dans `jeu/`, `entree` sur son entrée standard.
    // `dansLeFils`, s'il est donné, est appelé dans le processus fils juste
    // avant le lancement, ses flux déjà en place, pour les changer encore (rien
    // que des appels permis après fork : close, dup2, open, signal...).
    Resultat Lancer(const std::string& entree, const std::function<void()>& dansLeFils = {})
    {
        const fs::path cheminEntree = racine_ / "entree";
        const fs::path cheminSortie = racine_ / "sortie";
        const fs::path cheminErreur = racine_ / "erreur";
        EcrireFichier(cheminEntree, entree);

        const int fdEntree = ::open(cheminEntree.c_str(), O_RDONLY | O_CLOEXEC);
        const int fdSortie =
            ::open(cheminSortie.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        const int fdErreur =
            ::open(cheminErreur.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        if (fdEntree < 0 || fdSortie < 0 || fdErreur < 0) {
            ADD_FAILURE() << "ouverture des fichiers du test : errno " << errno;
            return {};
        }

        const pid_t pid = ::fork();
        if (pid == 0) {
            if (::chdir(jeu_.c_str()) != 0 || ::dup2(fdEntree, 0) < 0 || ::dup2(fdSortie, 1) < 0 ||
                ::dup2(fdErreur, 2) < 0) {
                ::_exit(126);
            }
            if (dansLeFils) {
                dansLeFils();
            }
            ::alarm(DELAI_MAX_SECONDES);
            ::execl(GLOUTO_CHEMIN, "glouto", static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(fdEntree);
        ::close(fdSortie);
        ::close(fdErreur);
        if (pid < 0) {
            ADD_FAILURE() << "fork : errno " << errno;
            return {};
        }

        int etat = 0;
        while (::waitpid(pid, &etat, 0) < 0 && errno == EINTR) {
        }
        Resultat r;
        r.sortie = LireFichier(cheminSortie);
        r.erreur = LireFichier(cheminErreur);
        if (WIFEXITED(etat)) {
            r.statut = WEXITSTATUS(etat);
        } else if (WIFSIGNALED(etat)) {
            r.statut = 128 + WTERMSIG(etat);
        }
        return r;
    }

    // Une partie qui se termine normalement : la sortie attendue, rien sur
    // la sortie d'erreur, statut 0.
    void VerifierPartie(const std::string& entree, const Attendu& attendu)
    {
        const Resultat r = Lancer(entree);
        EXPECT_TRUE(MemesOctets(attendu.sortie, r.sortie)) << "entrée : " << Montrer(entree);
        EXPECT_TRUE(MemesOctets("", r.erreur)) << "entrée : " << Montrer(entree);
        EXPECT_EQ(r.statut, 0) << "entrée : " << Montrer(entree);
    }

    fs::path racine_;
    fs::path jeu_;
};

// ---------------------------------------------------------------------------
// Parties

// Le premier écran vient avant toute lecture ; Q, ou une entrée qui s'épuise
// sans lettre acceptée, y met fin par la défaite.
TEST_F(Glouto, PremierEcranPuisFinSansCoup)
{
    struct Cas {
        std::string entree;
        int illegaux;
        bool finEntree;
    };
    const Cas cas[] = {
        {"q", 0, false},        // abandon au premier choix
        {"Q\n", 0, false},      // majuscule
        {"qeee", 0, false},     // la partie s'arrête au Q
        {"x\nq", 1, false},     // un choix illégal d'abord
        {"", 0, true},          // entrée vide
        {" \t\n\r\n", 0, true}, // rien que des blancs
        {"x?1\xE9", 4, true},   // seulement des choix illégaux
    };
    EcrireCarte(PlateauDeBase());
    for (const Cas& c : cas) {
        Attendu a = Commencer(PlateauDeBase(), {GENERATEUR_FANTOMES});
        Illegal(a, c.illegaux);
        if (c.finEntree) {
            FinEntree(a);
        }
        a.sortie += DEFAITE;
        VerifierPartie(c.entree, a);
    }
}

// Pastilles mangées (+10), case déjà vide (rien), murs refusés (le tour passe
// et le plateau est redessiné), passages par les bords, générateur de Glouto
// interdit une fois quitté.
TEST_F(Glouto, DeplacementsPastillesMursEtBords)
{
    struct Pas {
        Lieu glouto;
        int points;
    };
    const Pas pas[] = {
        {{77, 1}, 10}, // e : pastille
        {{0, 1}, 20},  // e : de la colonne 77 à la colonne 0, pastille
        {{0, 1}, 20},  // n : mur, refusé
        {{1, 1}, 20},  // e
        {{1, 0}, 20},  // n
        {{1, 20}, 20}, // n : de la rangée 0 à la rangée 20
        {{1, 20}, 20}, // n : mur, refusé
        {{1, 0}, 20},  // s : de la rangée 20 à la rangée 0
        {{1, 1}, 20},  // s
        {{0, 1}, 20},  // o : pastille déjà mangée
        {{77, 1}, 20}, // o : de la colonne 0 à la colonne 77
        {{77, 1}, 20}, // o : le 'P' ne se reprend pas
    };
    EcrireCarte(PlateauDeBase());
    Attendu a = Commencer(PlateauDeBase(), {GENERATEUR_FANTOMES});
    for (const Pas& p : pas) {
        Tour(a, p.glouto, p.points);
    }
    a.sortie += DEFAITE;
    VerifierPartie("ee\nn\nennn ss\too\no\nq\n", a);
}

// Minuscules et majuscules, blancs sautés, lettres refusées une à une : toutes
// ces entrées jouent un pas vers l'est puis quittent.
TEST_F(Glouto, ChoixIllegauxMinusculesEtBlancs)
{
    struct Cas {
        std::string entree;
        int illegauxAuPremierChoix;
        int illegauxAuSecondChoix;
    };
    const Cas cas[] = {
        {"eq", 0, 0},
        {"EQ", 0, 0},
        {"e\nq\n", 0, 0},
        {" \t\v\f\r\ne\n\n  Q", 0, 0},
        {"xe\nq", 1, 0},
        {"x1\xE9.E?q", 4, 1},
        {"ab\ncd e ww ZQ", 4, 3},
    };
    EcrireCarte(PlateauDeBase());
    for (const Cas& c : cas) {
        Attendu a = Commencer(PlateauDeBase(), {GENERATEUR_FANTOMES});
        Illegal(a, c.illegauxAuPremierChoix);
        Tour(a, {77, 1}, 10);
        Illegal(a, c.illegauxAuSecondChoix);
        a.sortie += DEFAITE;
        VerifierPartie(c.entree, a);
    }
}

// L'entrée s'épuise en pleine partie : passage à la ligne et défaite.
TEST_F(Glouto, FinDEntreeEnCoursDePartie)
{
    EcrireCarte(PlateauDeBase());

    Attendu a = Commencer(PlateauDeBase(), {GENERATEUR_FANTOMES});
    Tour(a, {77, 1}, 10);
    Tour(a, {0, 1}, 20);
    FinEntree(a);
    a.sortie += DEFAITE;
    VerifierPartie("ee\n", a);

    Attendu b = Commencer(PlateauDeBase(), {GENERATEUR_FANTOMES});
    Tour(b, {77, 1}, 10);
    Illegal(b, 2);
    FinEntree(b);
    b.sortie += DEFAITE;
    VerifierPartie("e x\n#", b);
}

// La dernière pastille mangée : encore un plateau et le menu ; la lettre
// acceptée suivante (quelle qu'elle soit, et sans être jouée) ou la fin de
// l'entrée donne la victoire.
TEST_F(Glouto, Victoire)
{
    struct Cas {
        std::string apres;
        int illegaux;
        bool finEntree;
    };
    const Cas cas[] = {
        {"n", 0, false},     // un pas qui n'est pas joué
        {"q", 0, false},     // quitter après la victoire : victoire quand même
        {"S\nee", 0, false}, // rien n'est lu après la lettre qui conclut
        {"?o", 1, false},    // un choix illégal d'abord
        {"x", 1, true},      // un choix illégal, puis l'entrée s'épuise
        {"", 0, true},       // l'entrée s'épuise
    };
    EcrireCarte(PlateauDeBase());
    for (const Cas& c : cas) {
        Attendu a = Commencer(PlateauDeBase(), {GENERATEUR_FANTOMES});
        Tour(a, {77, 1}, 10);
        Tour(a, {0, 1}, 20);
        Tour(a, {1, 1}, 20);
        Tour(a, {1, 2}, 30);
        Tour(a, {1, 1}, 30);
        Tour(a, {2, 1}, 40); // la dernière
        Illegal(a, c.illegaux);
        if (c.finEntree) {
            FinEntree(a);
        }
        a.sortie += VICTOIRE;
        VerifierPartie("eeesne" + c.apres, a);
    }
}

// Sans pastille, rien ne se gagne : on se déplace, puis Q donne la défaite.
TEST_F(Glouto, NiveauSansPastille)
{
    Plateau p = PlateauDeBase();
    for (std::string& rangee : p) {
        for (char& c : rangee) {
            c = c == '.' ? ' ' : c;
        }
    }
    EcrireCarte(p);
    Attendu a = Commencer(p, {GENERATEUR_FANTOMES});
    Tour(a, {77, 1}, 0);
    Tour(a, {0, 1}, 0);
    a.sortie += DEFAITE;
    VerifierPartie("eeq", a);
}

// Un couloir de deux cases entre 'F' et un mur, 'P' au-dessus : Glouto y
// descend puis bute sans fin contre le mur du sud. La seule sortie des
// fantômes mène à lui ; quel que soit le hasard du jour, l'un d'eux finit par
// avancer de (2,2) sur Glouto en (3,2). Le dernier plateau le montre encore en
// (2,2), le menu suit, et la lettre suivante donne la défaite sans être jouée.
TEST_F(Glouto, CaptureParUnFantome)
{
    Plateau p;
    p.fill(Rangee(""));
    p[1] = Rangee("###P");
    p[2] = Rangee("#F  ");
    const Lieu sortieF{2, 2};
    const Lieu glouto{3, 2};
    EcrireCarte(p);

    for (int partie = 0; partie < 3; ++partie) {
        SCOPED_TRACE(partie);
        const Resultat r = Lancer(std::string(300, 's'));
        EXPECT_EQ(r.erreur, "");
        EXPECT_EQ(r.statut, 0);

        // Premier écran, puis des tours où les fantômes sont sur 'F', en (2,2) ou aux deux.
        const std::string menu = ScoreMenuInvite(0);
        std::string attendu = DessinPlateau(p, Trouver(p, 'P'), {}) + menu;
        ASSERT_EQ(r.sortie.substr(0, attendu.size()), attendu);
        std::size_t debut = attendu.size();
        const std::vector<std::vector<Lieu>> possibles = {
            {Lieu{1, 2}}, {sortieF}, {Lieu{1, 2}, sortieF}};
        bool dernierEnSortie = false;
        int tours = 0;
        while (r.sortie.size() - debut > DEFAITE.size()) {
            bool reconnu = false;
            for (const std::vector<Lieu>& fantomes : possibles) {
                const std::string tour = DessinPlateau(p, glouto, fantomes) + menu;
                if (r.sortie.compare(debut, tour.size(), tour) == 0) {
                    reconnu = true;
                    dernierEnSortie = fantomes.back().x == sortieF.x;
                    debut += tour.size();
                    break;
                }
            }
            ASSERT_TRUE(reconnu) << "tour " << tours << " : "
                                 << Montrer(r.sortie.substr(debut, 200));
            ++tours;
        }
        EXPECT_EQ(r.sortie.substr(debut), DEFAITE);
        EXPECT_TRUE(dernierEnSortie);
        EXPECT_LT(tours, 299);
    }
}

// ---------------------------------------------------------------------------
// Chargement du niveau

// Un niveau absent, illisible ou aux générateurs faux : rien sur la sortie
// standard, les messages sur la sortie d'erreur, statut -1 (255).
TEST_F(Glouto, ErreursDeChargement)
{
    struct Cas {
        const char* nom;
        std::function<void(Glouto&)> preparer;
        std::string erreur;
    };
    const auto contenu = [](const Plateau& p) { return [p](Glouto& t) { t.EcrireCarte(p); }; };
    Plateau deuxP = PlateauDeBase();
    deuxP[5][10] = 'P';
    CaseDe(deuxP, GENERATEUR_FANTOMES) = '#'; // faux des deux côtés : seul Glouto est signalé
    Plateau sansP = PlateauDeBase();
    CaseDe(sansP, DEPART) = '#';
    Plateau sansF = PlateauDeBase();
    CaseDe(sansF, GENERATEUR_FANTOMES) = '#';
    Plateau deuxF = PlateauDeBase();
    deuxF[20][77] = 'F';

    const Cas cas[] = {
        {"fichier absent", [](Glouto&) {}, ErreurOuverture() + ErreurGenerateursGlouto(0)},
        {"dossier au nom du niveau", [](Glouto& t) { t.CreerDossierCarte(); },
         ErreurOuverture() + ErreurGenerateursGlouto(0)},
        {"fichier vide", [](Glouto& t) { t.EcrireCarte(std::string()); },
         ErreurGenerateursGlouto(0)},
        {"deux P et pas de F", contenu(deuxP), ErreurGenerateursGlouto(2)},
        {"pas de P", contenu(sansP), ErreurGenerateursGlouto(0)},
        {"pas de F", contenu(sansF), ErreurGenerateursFantomes(0)},
        {"deux F", contenu(deuxF), ErreurGenerateursFantomes(2)},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.nom);
        fs::remove_all(jeu_ / NOM_CARTE);
        c.preparer(*this);
        for (const std::string entree : {"", "eq"}) {
            const Resultat r = Lancer(entree);
            EXPECT_TRUE(MemesOctets("", r.sortie));
            EXPECT_TRUE(MemesOctets(c.erreur, r.erreur));
            EXPECT_EQ(r.statut, 255);
        }
    }
}

// Les formes du fichier : chacune doit donner exactement le plateau attendu,
// vu sur le premier écran.
TEST_F(Glouto, FormesDuFichier)
{
    const Plateau base = PlateauDeBase();
    const std::string texte = TexteCarte(base);
    const std::string ligneVide(LARGEUR, ' ');

    // Un fichier qui s'arrête après les rangées 0 à 3 et 10 cases de la rangée 4.
    const std::size_t coupure = 4 * (LARGEUR + 1) + 10;
    Plateau tronque = base;
    tronque[4] = base[4].substr(0, 10) + std::string(LARGEUR - 10, ' ');
    for (int y = 5; y < HAUTEUR; ++y) {
        tronque[static_cast<std::size_t>(y)] = ligneVide;
    }

    // Au-delà de la coupure, un second 'P' ferait échouer le chargement s'il était lu.
    Plateau avecSecondP = base;
    avecSecondP[8][30] = 'P';
    const std::string suiteAvecP = TexteCarte(avecSecondP).substr(coupure);

    // Rangées coupées n'importe où, sauts de ligne répétés.
    std::string decoupe;
    for (std::size_t i = 0; i < texte.size(); ++i) {
        if (texte[i] != '\n') {
            decoupe += texte[i];
        }
        if (i % 13 == 0) {
            decoupe += i % 2 == 0 ? "\n" : "\n\n\r\n";
        }
    }

    // Octets nuls : la case est consommée mais reste blanche.
    std::string avecNuls = texte;
    Plateau nulsBlancs = base;
    for (const Lieu l : {Lieu{5, 0}, Lieu{20, 6}, Lieu{77, 20}}) {
        avecNuls[static_cast<std::size_t>(l.y) * (LARGEUR + 1) + static_cast<std::size_t>(l.x)] =
            '\0';
        CaseDe(nulsBlancs, l) = ' ';
    }

    // Octets quelconques, un CR seul compris : chacun est une case, dessinée telle quelle.
    Plateau octetsBruts = base;
    octetsBruts[4].replace(30, 6, "\r\t\xE9\x7F\xFF\x1B");

    // Une 22e ligne n'est jamais lue : ses 'P' ne comptent pas.
    const std::string vingtDeuxieme = Rangee("P", "P") + "\n";

    struct Cas {
        const char* nom;
        std::string fichier;
        Plateau plateau;
    };
    const Cas cas[] = {
        {"sauts de ligne LF", texte, base},
        {"fins de ligne CR LF", TexteCarte(base, "\r\n"), base},
        {"rangees collees", TexteCarte(base, ""), base},
        {"rangees coupees ailleurs", decoupe, base},
        {"22e ligne ignoree", texte + vingtDeuxieme, base},
        {"sans dernier saut de ligne", texte.substr(0, texte.size() - 1), base},
        {"fichier court", texte.substr(0, coupure), tronque},
        {"octet 26", texte.substr(0, coupure) + '\x1A' + suiteAvecP, tronque},
        {"octets nuls", avecNuls, nulsBlancs},
        {"octets quelconques", TexteCarte(octetsBruts), octetsBruts},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.nom);
        EcrireCarte(c.fichier);
        Attendu a = Commencer(c.plateau, {});
        a.sortie += DEFAITE;
        VerifierPartie("q", a);
    }
}

// ---------------------------------------------------------------------------
// Entrées hostiles : rien de ce qu'on donne au programme, si cassé soit-il, ne
// doit le faire planter, attendre sans fin ou s'égarer. Le tableau du README
// (« Entrées hostiles ») renvoie à ces tests.

const std::string ERREUR_ECRITURE = "Impossible d'\xE9"
                                    "crire sur la sortie standard\n";

// Secondes écoulées pendant `f`.
double Duree(const std::function<void()>& f)
{
    const auto debut = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - debut).count();
}

// Des octets au hasard, les mêmes à chaque fois pour une graine donnée, sans
// aucun de ceux de `exclus`.
std::string OctetsAuHasard(std::size_t taille, unsigned graine, const std::string& exclus = "")
{
    std::mt19937 hasard(graine);
    std::string octets;
    while (octets.size() < taille) {
        const auto c = static_cast<char>(hasard() & 0xFF);
        if (exclus.find(c) == std::string::npos) {
            octets += c;
        }
    }
    return octets;
}

// Dans le fils : root lit tout fichier, même sans permission ; il renonce à
// ce passe-droit pour lui et pour le programme qu'il lance.
void SansPasseDroitDeRoot()
{
    if (::geteuid() == 0 && (::prctl(PR_CAPBSET_DROP, CAP_DAC_OVERRIDE, 0, 0, 0) != 0 ||
                             ::prctl(PR_CAPBSET_DROP, CAP_DAC_READ_SEARCH, 0, 0, 0) != 0)) {
        ::_exit(125);
    }
}

// Le fichier du niveau illisible, introuvable ou sans fin : le message
// d'ouverture s'il ne s'ouvre pas, puis celui des générateurs, statut -1.
TEST_F(Glouto, NiveauxIllisiblesOuSansFin)
{
    struct Cas {
        const char* nom;
        std::function<void(const fs::path&)> preparer;
        std::function<void()> dansLeFils;
        std::string erreur;
    };
    const std::string texte = TexteCarte(PlateauDeBase());
    const Cas cas[] = {
        {"sans permission de lecture",
         [&texte](const fs::path& niveau) {
             EcrireFichier(niveau, texte);
             fs::permissions(niveau, fs::perms::none);
         },
         SansPasseDroitDeRoot, ErreurOuverture() + ErreurGenerateursGlouto(0)},
        {"lien qui mene a lui-meme",
         [](const fs::path& niveau) { fs::create_symlink(niveau.filename(), niveau); },
         {},
         ErreurOuverture() + ErreurGenerateursGlouto(0)},
        // Un fichier sans fin : seules 1638 cases sont lues, toutes nulles donc blanches.
        {"lien vers /dev/zero",
         [](const fs::path& niveau) { fs::create_symlink("/dev/zero", niveau); },
         {},
         ErreurGenerateursGlouto(0)},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.nom);
        const fs::path niveau = jeu_ / NOM_CARTE;
        fs::remove_all(niveau);
        c.preparer(niveau);
        const Resultat r = Lancer("eq", c.dansLeFils);
        ASSERT_NE(r.statut, 125) << "le test n'a pas pu retirer ses droits de root";
        EXPECT_TRUE(MemesOctets("", r.sortie));
        EXPECT_TRUE(MemesOctets(c.erreur, r.erreur));
        EXPECT_EQ(r.statut, 255);
    }
}

// Des octets au hasard pour niveau. Quelconques : le chargement s'arrête sur
// les générateurs, ou la partie se joue ; jamais autre chose. Sans saut de
// ligne, octet 26 ni octet nul, avec un seul P et un seul F : chaque octet est
// une case, et le premier écran les montre toutes, telles quelles.
TEST_F(Glouto, NiveauxEnOctetsAuHasard)
{
    const std::string prefixeGenerateurs = "Nombre ill\xE9gal de g\xE9n\xE9rateurs de ";
    for (unsigned graine = 1; graine <= 20; ++graine) {
        SCOPED_TRACE(graine);
        EcrireCarte(OctetsAuHasard(std::size_t{graine} * 200, graine));
        const Resultat r = Lancer("q");
        if (r.statut == 255) {
            EXPECT_EQ(r.sortie, "");
            EXPECT_EQ(r.erreur.rfind(prefixeGenerateurs, 0), 0u) << Montrer(r.erreur);
            EXPECT_EQ(std::count(r.erreur.begin(), r.erreur.end(), '\n'), 1);
        } else {
            EXPECT_EQ(r.statut, 0);
            EXPECT_EQ(r.erreur, "");
            EXPECT_GE(r.sortie.size(), DEFAITE.size());
            EXPECT_EQ(r.sortie.substr(r.sortie.size() - DEFAITE.size()), DEFAITE);
        }
    }

    const std::string interdits("\n\r\x1A\0PF", 6);
    for (unsigned graine = 1; graine <= 5; ++graine) {
        SCOPED_TRACE(graine);
        std::string octets = OctetsAuHasard(LARGEUR * HAUTEUR + 100, graine, interdits);
        octets[std::size_t{graine} * 97] = 'P';
        octets[std::size_t{graine} * 211] = 'F';
        Plateau plateau;
        for (int y = 0; y < HAUTEUR; ++y) {
            plateau[static_cast<std::size_t>(y)] =
                octets.substr(static_cast<std::size_t>(y) * LARGEUR, LARGEUR);
        }
        EcrireCarte(octets);
        Attendu a = Commencer(plateau, {});
        a.sortie += DEFAITE;
        VerifierPartie("q", a);
    }
}

// Un niveau de 100 Mo se charge aussitôt : seules ses 1638 premières cases
// sont lues. 100 Mo de sauts de ligne devant le niveau sont lus jusqu'au bout
// (un saut de ligne n'est pas une case), puis le niveau se joue normalement.
TEST_F(Glouto, NiveauxDeCentMegaoctets)
{
    constexpr std::size_t CENT_MO = 100'000'000;
    const std::string texte = TexteCarte(PlateauDeBase());
    Attendu a = Commencer(PlateauDeBase(), {GENERATEUR_FANTOMES});
    Tour(a, {77, 1}, 10);
    a.sortie += DEFAITE;

    // Le fichier est creux au-delà du niveau : rien à écrire sur le disque.
    EcrireCarte(texte);
    fs::resize_file(jeu_ / NOM_CARTE, CENT_MO);
    const double secondes = Duree([&] { VerifierPartie("eq", a); });
    EXPECT_LT(secondes, 1.0);

    EcrireCarte(std::string(CENT_MO, '\n') + texte);
    VerifierPartie("eq", a);
    fs::remove(jeu_ / NOM_CARTE);
}

// Un tube nommé pour niveau : le chargement attend son écrivain, comme tout
// lecteur d'un tube, puis lit ce qu'il envoie comme un fichier.
TEST_F(Glouto, NiveauTubeNomme)
{
    const fs::path niveau = jeu_ / NOM_CARTE;
    ASSERT_EQ(::mkfifo(niveau.c_str(), 0600), 0);
    const std::string texte = TexteCarte(PlateauDeBase());
    // L'écrivain attend que le programme ouvre le tube (au plus quelques
    // secondes, pour ne jamais bloquer le test), écrit le niveau et s'en va.
    std::thread ecrivain([&niveau, &texte] {
        int fd = -1;
        for (int essai = 0; essai < 500 && fd < 0; ++essai) {
            fd = ::open(niveau.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            if (fd < 0) {
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
        }
        if (fd >= 0) {
            ::fcntl(fd, F_SETFL, 0);
            EXPECT_EQ(::write(fd, texte.data(), texte.size()), static_cast<ssize_t>(texte.size()));
            ::close(fd);
        }
    });
    Attendu a = Commencer(PlateauDeBase(), {GENERATEUR_FANTOMES});
    Tour(a, {77, 1}, 10);
    a.sortie += DEFAITE;
    VerifierPartie("eq", a);
    ecrivain.join();
}

// L'entrée s'épuise à chaque invite d'une partie gagnante, y compris après un
// choix illégal : passage à la ligne, puis le verdict de ce qui a été joué.
TEST_F(Glouto, FinDEntreeAChaqueInvite)
{
    struct Pas {
        char lettre;
        Lieu glouto;
        int points;
    };
    const Pas pas[] = {
        {'e', {77, 1}, 10}, {'e', {0, 1}, 20}, {'e', {1, 1}, 20},
        {'s', {1, 2}, 30},  {'n', {1, 1}, 30}, {'e', {2, 1}, 40}, // la dernière pastille
    };
    EcrireCarte(PlateauDeBase());
    for (std::size_t joues = 0; joues <= std::size(pas); ++joues) {
        for (const bool illegalALaFin : {false, true}) {
            SCOPED_TRACE(testing::Message()
                         << joues << " pas, illegal a la fin : " << illegalALaFin);
            Attendu a = Commencer(PlateauDeBase(), {GENERATEUR_FANTOMES});
            std::string entree;
            for (std::size_t i = 0; i < joues; ++i) {
                entree += pas[i].lettre;
                Tour(a, pas[i].glouto, pas[i].points);
            }
            if (illegalALaFin) {
                entree += '#';
                Illegal(a);
            }
            FinEntree(a);
            a.sortie += joues == std::size(pas) ? VICTOIRE : DEFAITE;
            VerifierPartie(entree, a);
        }
    }
}

// L'entrée standard hostile : chaque octet refusé ajoute une invite, les
// blancs sont sautés si nombreux soient-ils, une entrée fermée ou illisible
// vaut une entrée vide.
TEST_F(Glouto, EntreesHostiles)
{
    // Les 256 octets, sauf les lettres du menu : 240 refusés, 6 blancs sautés.
    std::string tousLesOctets;
    for (int o = 0; o < 256; ++o) {
        if (std::string("eEnNoOsSqQ").find(static_cast<char>(o)) == std::string::npos) {
            tousLesOctets += static_cast<char>(o);
        }
    }
    const std::string blancs(1 << 20, ' ');
    const std::string tabulations(1 << 20, '\t');
    const auto dossierEnEntree = [] {
        const int fd = ::open(".", O_RDONLY | O_DIRECTORY);
        if (fd < 0 || ::dup2(fd, 0) < 0) {
            ::_exit(125);
        }
    };

    struct Cas {
        const char* nom;
        std::string entree;
        std::function<void()> dansLeFils;
        int illegaux;
        bool unPasALEst;
        bool finEntree;
    };
    const Cas cas[] = {
        {"tous les octets", tousLesOctets, {}, 240, false, true},
        {"un megaoctet de lettres illegales", std::string(1 << 20, 'x'), {}, 1 << 20, false, true},
        {"une tres longue ligne", blancs + "e" + tabulations + "q", {}, 0, true, false},
        {"entree fermee", "eq", [] { ::close(0); }, 0, false, true},
        {"entree qui est un dossier", "eq", dossierEnEntree, 0, false, true},
    };
    EcrireCarte(PlateauDeBase());
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.nom);
        Attendu a = Commencer(PlateauDeBase(), {GENERATEUR_FANTOMES});
        Illegal(a, c.illegaux);
        if (c.unPasALEst) {
            Tour(a, {77, 1}, 10);
        }
        if (c.finEntree) {
            FinEntree(a);
        }
        a.sortie += DEFAITE;
        const Resultat r = Lancer(c.entree, c.dansLeFils);
        // Comparées entières, les sorties d'un mégaoctet d'invites resteraient illisibles.
        EXPECT_EQ(r.sortie.size(), a.sortie.size());
        EXPECT_TRUE(r.sortie == a.sortie)
            << "premiers octets : " << Montrer(r.sortie.substr(0, 200));
        EXPECT_TRUE(MemesOctets("", r.erreur));
        EXPECT_EQ(r.statut, 0);
    }

    // Des octets au hasard : une partie qui finit, sans erreur, par un verdict.
    for (unsigned graine = 1; graine <= 10; ++graine) {
        SCOPED_TRACE(graine);
        const Resultat r = Lancer(OctetsAuHasard(1 << 16, graine));
        EXPECT_EQ(r.statut, 0);
        EXPECT_EQ(r.erreur, "");
        const bool verdict = r.sortie.ends_with(DEFAITE) || r.sortie.ends_with(VICTOIRE);
        EXPECT_TRUE(verdict) << Montrer(
            r.sortie.substr(std::max<std::size_t>(r.sortie.size(), 80) - 80));
    }
}

// Une sortie standard qui refuse d'écrire arrête la partie aussitôt, même
// quand l'entrée en promet des milliers de tours. Un tube sans lecteur tue le
// programme (SIGPIPE), comme tout programme Unix ; si SIGPIPE est ignoré, ou
// pour une sortie fermée ou pleine, le programme le dit et rend le statut 1.
TEST_F(Glouto, SortieStandardRefusee)
{
    enum Sortie { FERMEE, PLEINE, TUBE_SANS_LECTEUR, LECTEUR_QUI_PART };
    struct Cas {
        const char* nom;
        Sortie sortie;
        bool sigpipeIgnore;
        int statut;
        std::string erreur;
    };
    const Cas cas[] = {
        {"sortie fermee", FERMEE, false, 1, ERREUR_ECRITURE},
        {"/dev/full", PLEINE, false, 1, ERREUR_ECRITURE},
        {"tube sans lecteur", TUBE_SANS_LECTEUR, false, 128 + SIGPIPE, ""},
        {"tube sans lecteur, SIGPIPE ignore", TUBE_SANS_LECTEUR, true, 1, ERREUR_ECRITURE},
        {"lecteur qui part en cours de partie", LECTEUR_QUI_PART, false, 128 + SIGPIPE, ""},
        {"lecteur qui part, SIGPIPE ignore", LECTEUR_QUI_PART, true, 1, ERREUR_ECRITURE},
    };
    // Cent mille allers et retours dans le couloir.
    std::string entree;
    for (int i = 0; i < 100'000; ++i) {
        entree += "eo";
    }
    EcrireCarte(PlateauDeBase());
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.nom);
        int tube[2] = {-1, -1};
        std::thread lecteur;
        if (c.sortie == TUBE_SANS_LECTEUR || c.sortie == LECTEUR_QUI_PART) {
            ASSERT_EQ(::pipe2(tube, O_CLOEXEC), 0);
        }
        if (c.sortie == TUBE_SANS_LECTEUR) {
            ::close(tube[0]);
        }
        if (c.sortie == LECTEUR_QUI_PART) {
            // Lit quelques tours, puis s'en va.
            lecteur = std::thread([fd = tube[0]] {
                std::array<char, 4096> morceau{};
                for (std::size_t lus = 0; lus < 100'000;) {
                    const ssize_t n = ::read(fd, morceau.data(), morceau.size());
                    if (n <= 0) {
                        break;
                    }
                    lus += static_cast<std::size_t>(n);
                }
                ::close(fd);
            });
        }
        const Resultat r = Lancer(entree, [&c, ecriture = tube[1]] {
            ::signal(SIGPIPE, c.sigpipeIgnore ? SIG_IGN : SIG_DFL);
            switch (c.sortie) {
            case FERMEE:
                ::close(1);
                break;
            case PLEINE:
                if (::dup2(::open("/dev/full", O_WRONLY), 1) < 0) {
                    ::_exit(125);
                }
                break;
            case TUBE_SANS_LECTEUR:
            case LECTEUR_QUI_PART:
                ::dup2(ecriture, 1);
                break;
            }
        });
        if (tube[1] >= 0) {
            ::close(tube[1]);
        }
        if (lecteur.joinable()) {
            lecteur.join();
        }
        EXPECT_EQ(r.statut, c.statut);
        EXPECT_TRUE(MemesOctets(c.erreur, r.erreur));
    }

    // Sortie d'erreur fermée et niveau faux : la sortie du programme reste la même.
    EcrireCarte(std::string("sans generateur"));
    const Resultat r = Lancer("q", [] { ::close(2); });
    EXPECT_EQ(r.statut, 255);
    EXPECT_EQ(r.sortie, "");
}

} // namespace
