// Fuzzing du chargement du niveau : des octets quelconques dans le fichier,
// lus par LireCarte comme le jeu lit son niveau, puis la vérification des
// générateurs et le placement de Glouto, sans la sortie du programme que le
// jeu fait sur des générateurs faux. La grille obtenue est comparée à celle
// que donne un modèle indépendant de la lecture.
#include "commun.h"

#include <iostream>
#include <sstream>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* donnees, std::size_t taille)
{
    static FichierNiveau fichier;
    static Puits puits;
    const std::string_view octets(reinterpret_cast<const char*>(donnees), taille);

    // Les messages du chargeur (générateurs faux) vont au puits.
    std::streambuf* const erreur = std::cerr.rdbuf(&puits);

    const std::string& nom = fichier.Ecrire(octets);
    Carte carte = LireCarte(nom);
    const Grille attendue = GrilleAttendue(octets);
    EXIGER(carte.valide);
    EXIGER(carte.nom == nom);
    EXIGER(carte.grille == attendue);
    for (const Fantome& f : carte.fantomes) {
        EXIGER(f.pos == POSITION_INVALIDE && f.direction == AUCUNE);
    }

    // La même lecture depuis un flux en mémoire donne la même grille.
    Carte depuisFlux;
    for (Rangee& rangee : depuisFlux.grille) {
        rangee.fill(VIDE);
    }
    std::istringstream flux{std::string(octets)};
    RemplirGrille(depuisFlux, flux);
    EXIGER(depuisFlux.grille == attendue);

    const bool generateursJustes =
        Compter(attendue, GENERATEUR_GLOUTO) == 1 && Compter(attendue, GENERATEUR_FANTOME) == 1;
    EXIGER(VerifierGenerateurs(carte) == generateursJustes);
    if (generateursJustes) {
        PlacerGlouto(carte);
        EXIGER(EstSurGrille(carte.glouto.pos));
        EXIGER(ObtenirCase(carte, carte.glouto.pos) == GENERATEUR_GLOUTO);
        EXIGER(carte.glouto.points == 0 && carte.glouto.vivant && !carte.glouto.gagne);
        EXIGER(EstSurGrille(TrouverCase(carte, GENERATEUR_FANTOME)));
    }

    std::cerr.rdbuf(erreur);
    puits.Vider();
    return 0;
}
