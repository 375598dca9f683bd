// Fuzzing d'une partie entière, dans le processus : des octets quelconques
// pour le niveau, puis, après la ligne SEPARATEUR, des octets quelconques pour
// l'entrée standard. La sortie standard va à un puits. Une entrée finie borne
// la partie : chaque tour consomme au moins un octet de l'entrée.
//
// Ce qui doit tenir, quelle que soit l'entrée : aucune ligne d'erreur pendant
// la partie, le verdict en dernier, et un état final cohérent (score égal à
// dix fois les pastilles mangées, victoire seulement sans pastille restante,
// Glouto et les fantômes sur des cases où ils ont le droit d'être).
#include "commun.h"

#include "console/partie.h"

#include <iostream>
#include <sstream>

namespace {

constexpr std::string_view SEPARATEUR = "\n==\n";

// Au-delà, l'entrée est tronquée : la partie reste courte.
constexpr std::size_t ENTREE_MAX = 1 << 14;

constexpr std::string_view VICTOIRE = "F\xE9licitations pour cette belle victoire!\n";
constexpr std::string_view DEFAITE = "\xC2pre d\xE9"
                                     "faite...\n";

// Une graine tirée des octets de l'entrée : la même entrée rejoue la même partie.
unsigned Graine(std::string_view octets)
{
    std::uint32_t h = 2166136261u;
    for (const char c : octets) {
        h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
    }
    return h;
}

bool FinitPar(const std::string& texte, std::string_view fin)
{
    return texte.size() >= fin.size() &&
           texte.compare(texte.size() - fin.size(), fin.size(), fin) == 0;
}

// Case où un fantôme a le droit de se tenir : praticable, ou le générateur d'où il sort.
bool PermiseAuFantome(const Carte& carte, Position p)
{
    const Case c = ObtenirCase(carte, p);
    return !EstObstacle(c) || c == GENERATEUR_FANTOME;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* donnees, std::size_t taille)
{
    static FichierNiveau fichier;
    static Puits sortie;
    const std::string_view octets(reinterpret_cast<const char*>(donnees), taille);
    const std::size_t coupure = octets.find(SEPARATEUR);
    const std::string_view niveau = octets.substr(0, coupure);
    std::string_view entree;
    if (coupure != std::string_view::npos) {
        entree = octets.substr(coupure + SEPARATEUR.size(), ENTREE_MAX);
    }

    std::ostringstream erreur;
    std::istringstream lecture{std::string(entree)};
    std::streambuf* const origineSortie = std::cout.rdbuf(&sortie);
    std::streambuf* const origineErreur = std::cerr.rdbuf(erreur.rdbuf());
    std::streambuf* const origineEntree = std::cin.rdbuf(lecture.rdbuf());
    std::cin.clear();
    std::cout.clear();
    sortie.Vider();

    // Le chargement du jeu, sauf la sortie du programme sur des générateurs faux.
    Carte carte = LireCarte(fichier.Ecrire(niveau));
    if (VerifierGenerateurs(carte)) {
        PlacerGlouto(carte);
        const Grille depart = carte.grille;
        const std::int32_t pastilles = Compter(depart, PASTILLE);
        erreur.str("");

        std::srand(Graine(octets));
        EXIGER(JouerPartie(carte) == 0);

        EXIGER(erreur.str().empty());
        EXIGER(FinitPar(sortie.fin, carte.glouto.gagne ? VICTOIRE : DEFAITE));
        // La grille ne perd que des pastilles, et chacune a rapporté 10 points.
        const std::int32_t restantes = Compter(carte.grille, PASTILLE);
        for (std::size_t y = 0; y < HAUTEUR; ++y) {
            for (std::size_t x = 0; x < LARGEUR; ++x) {
                const Case avant = depart[y][x];
                const Case apres = carte.grille[y][x];
                EXIGER(apres == avant || (avant == PASTILLE && apres == VIDE));
            }
        }
        EXIGER(carte.glouto.points == 10 * (pastilles - restantes));
        EXIGER(carte.glouto.gagne == (pastilles > 0 && restantes == 0));
        EXIGER(EstSurGrille(carte.glouto.pos));
        const Case sousGlouto = ObtenirCase(carte, carte.glouto.pos);
        EXIGER(!EstObstacle(sousGlouto) || sousGlouto == GENERATEUR_GLOUTO);
        for (const Fantome& f : carte.fantomes) {
            if (!EstInvalide(f.pos)) {
                EXIGER(EstSurGrille(f.pos) && PermiseAuFantome(carte, f.pos));
                EXIGER(f.direction >= EST && f.direction <= SUD);
            }
        }
    }

    std::cout.rdbuf(origineSortie);
    std::cerr.rdbuf(origineErreur);
    std::cin.rdbuf(origineEntree);
    std::cin.clear();
    return 0;
}
