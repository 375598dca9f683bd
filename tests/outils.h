// Outils communs aux tests en mémoire : cartes décrites par quelques lignes,
// flux standard détournés.
#pragma once

#include "plateau/carte.h"

#include <initializer_list>
#include <iostream>
#include <sstream>
#include <string>

// Carte valide dont les premières rangées sont données (le reste est vide),
// Glouto placé sur 'P' s'il y en a un.
inline Carte CarteDepuis(std::initializer_list<std::string> lignes)
{
    Carte carte;
    carte.nom = "essai.map";
    carte.valide = true;
    for (Rangee& rangee : carte.grille) {
        rangee.fill(VIDE);
    }
    std::size_t y = 0;
    for (const std::string& ligne : lignes) {
        for (std::size_t x = 0; x < ligne.size() && x < LARGEUR; ++x) {
            carte.grille[y][x] = ligne[x];
        }
        ++y;
    }
    PlacerGlouto(carte);
    return carte;
}

// Détourne std::cin, std::cout et std::cerr le temps d'un test.
struct FluxDetournes {
    std::istringstream entree;
    std::ostringstream sortie;
    std::ostringstream erreur;
    std::streambuf* ancienneEntree;
    std::streambuf* ancienneSortie;
    std::streambuf* ancienneErreur;

    explicit FluxDetournes(const std::string& texte = "")
        : entree(texte), ancienneEntree(std::cin.rdbuf(entree.rdbuf())),
          ancienneSortie(std::cout.rdbuf(sortie.rdbuf())),
          ancienneErreur(std::cerr.rdbuf(erreur.rdbuf()))
    {
        std::cin.clear();
    }

    ~FluxDetournes()
    {
        std::cin.rdbuf(ancienneEntree);
        std::cout.rdbuf(ancienneSortie);
        std::cerr.rdbuf(ancienneErreur);
        std::cin.clear();
        std::cout.clear();
        std::cerr.clear();
    }

    FluxDetournes(const FluxDetournes&) = delete;
    FluxDetournes& operator=(const FluxDetournes&) = delete;
};
