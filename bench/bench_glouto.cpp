// Mesures fines (Google Benchmark) : un tour complet écrit dans un puits sans
// fond, le dessin seul (le nôtre et le dessin direct), la conversion pour un
// terminal, la phase des fantômes et le chargement du niveau.
//
// Le niveau de mesure enferme les fantômes loin de Glouto, qui tourne en rond
// sur un couloir qui passe d'un bord à l'autre : une partie dure aussi
// longtemps qu'on veut.
#include "bench/dessin_naif.h"
#include "console/partie.h"
#include "console/terminal.h"
#include "fantomes/fantomes.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <streambuf>
#include <string>

#ifndef GLOUTO_CARTE_MESURE
#error "GLOUTO_CARTE_MESURE doit donner le chemin du niveau de mesure"
#endif

namespace {

// Sortie qui jette tout, avec une zone d'écriture comme un vrai tampon.
class PuitsSansFond : public std::streambuf {
public:
    PuitsSansFond() { setp(zone_, zone_ + sizeof zone_); }

protected:
    int_type overflow(int_type c) override
    {
        setp(zone_, zone_ + sizeof zone_);
        return traits_type::not_eof(c);
    }

    int sync() override
    {
        setp(zone_, zone_ + sizeof zone_);
        return 0;
    }

private:
    char zone_[4096];
};

// Entrée qui ne finit jamais : toujours la même lettre.
class LettreSansFin : public std::streambuf {
public:
    explicit LettreSansFin(char lettre)
    {
        std::fill(std::begin(zone_), std::end(zone_), lettre);
        setg(zone_, zone_, zone_ + sizeof zone_);
    }

protected:
    int_type underflow() override
    {
        setg(zone_, zone_, zone_ + sizeof zone_);
        return traits_type::to_int_type(zone_[0]);
    }

private:
    char zone_[4096];
};

// std::cout dans le puits, std::cin sur la lettre donnée, le temps d'une mesure.
struct FluxDeMesure {
    PuitsSansFond puits;
    LettreSansFin lettres;
    std::streambuf* ancienneSortie;
    std::streambuf* ancienneEntree;

    explicit FluxDeMesure(char lettre = 'E')
        : lettres(lettre), ancienneSortie(std::cout.rdbuf(&puits)),
          ancienneEntree(std::cin.rdbuf(&lettres))
    {
    }

    ~FluxDeMesure()
    {
        std::cout.rdbuf(ancienneSortie);
        std::cin.rdbuf(ancienneEntree);
    }

    FluxDeMesure(const FluxDeMesure&) = delete;
    FluxDeMesure& operator=(const FluxDeMesure&) = delete;
};

// Le niveau de mesure, les quatre fantômes entrés et Glouto dans son couloir.
Carte CarteEnJeu()
{
    std::srand(1);
    Carte carte = ChargerCarte(GLOUTO_CARTE_MESURE);
    DeplacerGlouto(carte, Sud(PositionGlouto(carte)));
    for (int i = 0; i < 2 * NB_FANTOMES; ++i) {
        DeplacerFantomes(carte);
    }
    return carte;
}

// Un tour complet (choix, dessin, fantômes, menu, lecture) avec le tour donné :
// le nôtre ou celui au dessin direct.
template <void (*JouerUnTour)(Carte&)> void BM_Tour(benchmark::State& etat)
{
    Carte carte = CarteEnJeu();
    FluxDeMesure flux;
    char choix = 'E';
    for (auto _ : etat) {
        TraiterChoix(carte, choix);
        JouerUnTour(carte);
        AfficherMenu(carte.glouto);
        choix = LireChoix();
    }
    etat.SetItemsProcessed(etat.iterations());
}
BENCHMARK(BM_Tour<JouerTour>)->Name("BM_Tour");
BENCHMARK(BM_Tour<JouerTourNaif>)->Name("BM_TourDessinDirect");

// Le dessin seul, le nôtre ou le dessin direct.
template <void (*Dessiner)(const Carte&)> void BM_AfficherCarte(benchmark::State& etat)
{
    const Carte carte = CarteEnJeu();
    FluxDeMesure flux;
    for (auto _ : etat) {
        Dessiner(carte);
    }
}
BENCHMARK(BM_AfficherCarte<AfficherCarte>)->Name("BM_AfficherCarte");
BENCHMARK(BM_AfficherCarte<AfficherCarteNaif>)->Name("BM_AfficherCarteDessinDirect");

// Ce qu'un terminal reçoit pour un plateau : UTF-8, couleurs, effacements.
void BM_PlateauTerminal(benchmark::State& etat)
{
    const Carte carte = CarteEnJeu();
    std::ostringstream image;
    std::streambuf* ancienne = std::cout.rdbuf(image.rdbuf());
    AfficherCarte(carte);
    std::cout.rdbuf(ancienne);
    const std::string octets = image.str();
    std::string sortie;
    for (auto _ : etat) {
        sortie.clear();
        ConvertirPlateauTerminal(octets, sortie);
        benchmark::DoNotOptimize(sortie.data());
    }
    etat.SetBytesProcessed(etat.iterations() * static_cast<std::int64_t>(sortie.size()));
}
BENCHMARK(BM_PlateauTerminal);

void BM_PhaseFantomes(benchmark::State& etat)
{
    Carte carte = CarteEnJeu();
    for (auto _ : etat) {
        DeplacerFantomes(carte);
        benchmark::DoNotOptimize(carte.fantomes.data());
    }
    if (!carte.glouto.vivant) {
        etat.SkipWithError("Glouto pris : le niveau de mesure doit enfermer les fantômes");
    }
}
BENCHMARK(BM_PhaseFantomes);

void BM_ChargerCarte(benchmark::State& etat)
{
    for (auto _ : etat) {
        Carte carte = ChargerCarte(GLOUTO_CARTE_MESURE);
        benchmark::DoNotOptimize(carte.grille.data());
    }
}
BENCHMARK(BM_ChargerCarte);

} // namespace

BENCHMARK_MAIN();
