// Outils partagés par les cibles de fuzzing : le niveau écrit dans un vrai
// fichier (en mémoire), un puits pour la sortie, un modèle de la lecture.
#pragma once

#include "plateau/carte.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <streambuf>
#include <string>
#include <string_view>
#include <sys/mman.h>
#include <unistd.h>

// Arrête le fuzzer sur un invariant violé : le message, puis abort(), que
// libFuzzer enregistre comme un plantage avec l'entrée qui l'a causé.
#define EXIGER(condition)                                                                          \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d : condition non tenue : %s\n", __FILE__, __LINE__,         \
                         #condition);                                                              \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)

// Un fichier anonyme en mémoire, réécrit à chaque entrée et ouvert par son nom
// /proc/self/fd/N : le chargeur l'ouvre et le lit comme le niveau du jeu.
class FichierNiveau {
public:
    FichierNiveau() : fd_(::memfd_create("niveau", 0))
    {
        EXIGER(fd_ >= 0);
        nom_ = "/proc/self/fd/" + std::to_string(fd_);
    }
    ~FichierNiveau() { ::close(fd_); }
    FichierNiveau(const FichierNiveau&) = delete;
    FichierNiveau& operator=(const FichierNiveau&) = delete;

    // Remplace le contenu du fichier ; rend son nom.
    const std::string& Ecrire(std::string_view octets)
    {
        EXIGER(::ftruncate(fd_, 0) == 0);
        std::size_t fait = 0;
        while (fait < octets.size()) {
            const ssize_t n =
                ::pwrite(fd_, octets.data() + fait, octets.size() - fait, static_cast<off_t>(fait));
            EXIGER(n > 0);
            fait += static_cast<std::size_t>(n);
        }
        return nom_;
    }

private:
    int fd_;
    std::string nom_;
};

// Tampon de sortie qui ne garde que le nombre d'octets reçus et les derniers d'entre eux.
class Puits : public std::streambuf {
public:
    std::size_t total = 0;
    std::string fin; // au plus TAILLE_FIN derniers octets

    void Vider()
    {
        total = 0;
        fin.clear();
    }

protected:
    int_type overflow(int_type c) override
    {
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            const char octet = traits_type::to_char_type(c);
            xsputn(&octet, 1);
        }
        return traits_type::not_eof(c);
    }

    std::streamsize xsputn(const char* s, std::streamsize n) override
    {
        const auto taille = static_cast<std::size_t>(n);
        total += taille;
        fin.append(s, taille);
        if (fin.size() > 2 * TAILLE_FIN) {
            fin.erase(0, fin.size() - TAILLE_FIN);
        }
        return n;
    }

private:
    static constexpr std::size_t TAILLE_FIN = 256;
};

// La grille qu'un fichier de ces octets doit donner, calculée sans le code du
// jeu : mode texte (CR LF vaut LF, l'octet 26 termine), sauts de ligne sautés,
// un octet nul prend sa case sans l'écrire, 1638 cases au plus.
inline Grille GrilleAttendue(std::string_view octets)
{
    Grille grille;
    for (Rangee& rangee : grille) {
        rangee.fill(VIDE);
    }
    constexpr std::size_t CASES = static_cast<std::size_t>(LARGEUR) * HAUTEUR;
    std::size_t remplies = 0;
    for (std::size_t i = 0; i < octets.size() && remplies < CASES; ++i) {
        const char octet = octets[i];
        if (octet == '\x1A') {
            break;
        }
        const bool finDeLigne =
            octet == '\n' || (octet == '\r' && i + 1 < octets.size() && octets[i + 1] == '\n');
        if (finDeLigne) {
            continue;
        }
        if (octet != '\0') {
            grille[remplies / LARGEUR][remplies % LARGEUR] = octet;
        }
        ++remplies;
    }
    return grille;
}

inline std::int32_t Compter(const Grille& grille, Case c)
{
    std::int32_t n = 0;
    for (const Rangee& rangee : grille) {
        for (const Case k : rangee) {
            n += k == c ? 1 : 0;
        }
    }
    return n;
}
