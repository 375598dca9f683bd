#include "console/partie.h"

#include "console/terminal.h"
#include "fantomes/fantomes.h"

#include <algorithm>
#include <array>
#include <iostream>
#include <locale>

namespace {

constexpr const char* VICTOIRE = "F\xE9licitations pour cette belle victoire!";
constexpr const char* DEFAITE = "\xC2pre d\xE9"
                                "faite...";

bool EstChoixAccepte(char c)
{
    return c == 'E' || c == 'N' || c == 'O' || c == 'S' || c == 'Q';
}

} // namespace

int JouerPartie(Carte& carte)
{
    JouerTour(carte);
    AfficherMenu(carte.glouto);
    char choix = LireChoix();
    while (choix != 'Q') {
        // La partie finie se constate au choix suivant, qui n'est pas joué.
        if (carte.glouto.gagne || !carte.glouto.vivant) {
            break;
        }
        TraiterChoix(carte, choix);
        JouerTour(carte);
        AfficherMenu(carte.glouto);
        choix = LireChoix();
    }
    std::cout << (carte.glouto.gagne ? VICTOIRE : DEFAITE) << std::endl;
    return 0;
}

void JouerTour(Carte& carte)
{
    if (!carte.valide) {
        std::cerr << "La carte " << carte.nom << " est invalide" << std::endl;
        return;
    }
    AfficherCarte(carte);
    // Les fantômes bougent après le dessin : l'écran les montre là où le tour
    // précédent les a laissés.
    DeplacerFantomes(carte);
}

void AfficherCarte(const Carte& carte)
{
    // L'image du tour, construite d'un bloc : les rangées de la grille, puis
    // les fantômes posés dessus, puis Glouto, qui couvre un fantôme sur sa case.
    constexpr std::size_t LIGNE = LARGEUR + 1;
    std::array<char, HAUTEUR * LIGNE> image;
    for (std::size_t y = 0; y < HAUTEUR; ++y) {
        const Rangee& rangee = carte.grille[y];
        std::copy(rangee.begin(), rangee.end(),
                  image.begin() + static_cast<std::ptrdiff_t>(y * LIGNE));
        image[y * LIGNE + LARGEUR] = '\n';
    }
    const auto poser = [&image](Position p, Case symbole) {
        if (EstSurGrille(p)) {
            image[static_cast<std::size_t>(p.y) * LIGNE + static_cast<std::size_t>(p.x)] = symbole;
        }
    };
    for (const Fantome& f : carte.fantomes) {
        poser(f.pos, SYMBOLE_FANTOME);
    }
    poser(carte.glouto.pos, SYMBOLE_GLOUTO);
    AfficherPlateau({image.data(), image.size()});
}

void AfficherMenu(const Glouto& glouto)
{
    std::cout << "Vous avez " << glouto.points << " points" << std::endl;
    std::cout << "[E] - Est; [N] - Nord; [O] - Ouest; [S] - Sud; [Q] - Quitter; ";
}

char LireChoix()
{
    const auto& classes = std::use_facet<std::ctype<char>>(std::locale());
    std::cout << "Votre choix: ";
    char c = 0;
    while (std::cin >> c) {
        c = classes.toupper(c);
        if (EstChoixAccepte(c)) {
            return c;
        }
        std::cout << "Choix ill\xE9gal, recommencez: ";
    }
    // Plus rien à lire : la partie s'arrête comme sur Q.
    std::cout << std::endl;
    return 'Q';
}

void TraiterChoix(Carte& carte, char choix)
{
    const Position glouto = PositionGlouto(carte);
    switch (choix) {
    case 'E':
        DeplacerGlouto(carte, Est(glouto));
        break;
    case 'N':
        DeplacerGlouto(carte, Nord(glouto));
        break;
    case 'O':
        DeplacerGlouto(carte, Ouest(glouto));
        break;
    case 'S':
        DeplacerGlouto(carte, Sud(glouto));
        break;
    default:
        std::cerr << "ERREUR -- TraiterChoix(), param\xE8tre ill\xE9gal --> " << choix << std::endl;
        break;
    }
}
