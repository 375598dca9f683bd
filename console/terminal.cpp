#include "console/terminal.h"

#include "plateau/case.h"

#include <array>
#include <cerrno>
#include <iostream>
#include <streambuf>
#include <unistd.h>

namespace {

// Points de code des octets 0 à 31 vus en page de code 437 (l'octet 0 reste un blanc).
constexpr char32_t IMAGES_CONTROLE[32] = {
    U' ',      U'\u263A', U'\u263B', U'\u2665', U'\u2666', U'\u2663', U'\u2660', U'\u2022',
    U'\u25D8', U'\u25CB', U'\u25D9', U'\u2642', U'\u2640', U'\u266A', U'\u266B', U'\u263C',
    U'\u25BA', U'\u25C4', U'\u2195', U'\u203C', U'\u00B6', U'\u00A7', U'\u25AC', U'\u21A8',
    U'\u2191', U'\u2193', U'\u2192', U'\u2190', U'\u221F', U'\u2194', U'\u25B2', U'\u25BC',
};

// Points de code Windows-1252 des octets 0x80 à 0x9F ; les cinq octets que la
// page de code laisse sans caractère s'affichent en caractère de remplacement.
constexpr char32_t IMAGES_1252[32] = {
    U'\u20AC', U'\uFFFD', U'\u201A', U'\u0192', U'\u201E', U'\u2026', U'\u2020', U'\u2021',
    U'\u02C6', U'\u2030', U'\u0160', U'\u2039', U'\u0152', U'\uFFFD', U'\u017D', U'\uFFFD',
    U'\uFFFD', U'\u2018', U'\u2019', U'\u201C', U'\u201D', U'\u2022', U'\u2013', U'\u2014',
    U'\u02DC', U'\u2122', U'\u0161', U'\u203A', U'\u0153', U'\uFFFD', U'\u017E', U'\u0178',
};

constexpr char32_t PointDeCode(unsigned char octet)
{
    if (octet == '\n') {
        return U'\n';
    }
    if (octet < 32) {
        return IMAGES_CONTROLE[octet];
    }
    if (octet == 127) {
        return U'\u2302';
    }
    if (octet >= 0x80 && octet < 0xA0) {
        return IMAGES_1252[octet - 0x80];
    }
    return octet;
}

// Un octet du jeu tel qu'il part vers un terminal : un à trois octets UTF-8.
struct Utf8 {
    char octets[3];
    unsigned char longueur;
};

constexpr Utf8 EncoderUtf8(char32_t point)
{
    if (point < 0x80) {
        return {{static_cast<char>(point), 0, 0}, 1};
    }
    if (point < 0x800) {
        return {
            {static_cast<char>(0xC0 | (point >> 6)), static_cast<char>(0x80 | (point & 0x3F)), 0},
            2};
    }
    return {{static_cast<char>(0xE0 | (point >> 12)),
             static_cast<char>(0x80 | ((point >> 6) & 0x3F)),
             static_cast<char>(0x80 | (point & 0x3F))},
            3};
}

// Les 256 conversions, calculées une fois pour toutes à la compilation.
constexpr std::array<Utf8, 256> TABLE_UTF8 = []() {
    std::array<Utf8, 256> table{};
    for (std::size_t octet = 0; octet < table.size(); ++octet) {
        table[octet] = EncoderUtf8(PointDeCode(static_cast<unsigned char>(octet)));
    }
    return table;
}();

void AjouterUtf8(std::string& sortie, unsigned char octet)
{
    const Utf8& u = TABLE_UTF8[octet];
    sortie.append(u.octets, u.longueur);
}

// Couleur d'une case du plateau sur un terminal. Les murs sont toutes les
// cases qui font obstacle, sauf les deux générateurs ; ceux-ci, les pastilles
// et le vide gardent la couleur normale du terminal.
enum Couleur : unsigned char { NORMALE, MUR, FANTOME, GLOUTO };

constexpr std::string_view SEQUENCES_COULEUR[] = {
    "",           // NORMALE
    "\x1b[34m",   // MUR : bleu
    "\x1b[31m",   // FANTOME : rouge
    "\x1b[1;33m", // GLOUTO : jaune gras
};
constexpr std::string_view RETOUR_COULEURS = "\x1b[0m";
constexpr std::string_view CURSEUR_EN_HAUT = "\x1b[H";
constexpr std::string_view EFFACER_FIN_LIGNE = "\x1b[K";
constexpr std::string_view EFFACER_DESSOUS = "\x1b[J";

Couleur CouleurCase(unsigned char octet)
{
    const Case c = static_cast<Case>(octet);
    if (c == SYMBOLE_GLOUTO) {
        return GLOUTO;
    }
    if (c == SYMBOLE_FANTOME) {
        return FANTOME;
    }
    if (EstObstacle(c) && c != GENERATEUR_GLOUTO && c != GENERATEUR_FANTOME) {
        return MUR;
    }
    return NORMALE;
}

const std::array<Couleur, 256>& TableCouleurs()
{
    static const std::array<Couleur, 256> table = [] {
        std::array<Couleur, 256> t{};
        for (std::size_t octet = 0; octet < t.size(); ++octet) {
            t[octet] = CouleurCase(static_cast<unsigned char>(octet));
        }
        return t;
    }();
    return table;
}

// Écrit tout le tampon sur le descripteur ; faux si le système refuse.
bool EcrireTout(int fd, const std::string& octets)
{
    std::size_t fait = 0;
    while (fait < octets.size()) {
        const ssize_t n = ::write(fd, octets.data() + fait, octets.size() - fait);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        fait += static_cast<std::size_t>(n);
    }
    return true;
}

// Tampon de sortie vers un descripteur, avec conversion éventuelle en UTF-8.
// Les octets s'accumulent dans `attente_` et partent d'une seule écriture
// quand Emettre() est appelée. Deux usages :
//  - la sortie standard est « différée » : un vidage du flux (std::endl) ne
//    fait que garder les octets ; c'est la lecture de l'entrée qui les envoie ;
//  - la sortie d'erreur part ligne par ligne : un vidage n'envoie que des
//    lignes finies, précédées de tout ce qui attend sur la sortie standard
//    (`devant`), pour qu'une ligne d'erreur ne la double jamais.
class TamponSortie : public std::streambuf {
public:
    TamponSortie(int fd, bool terminal, bool differe, TamponSortie* devant = nullptr)
        : fd_(fd), terminal_(terminal), differe_(differe), devant_(devant)
    {
        setp(zone_, zone_ + sizeof zone_);
    }

    // Ajoute l'image du plateau d'un tour. Le début d'un tour est le bon
    // moment pour envoyer ce qui s'est accumulé quand le joueur a tapé
    // beaucoup de lettres d'avance : aucun tour n'est coupé en deux écritures.
    void AjouterPlateau(std::string_view image)
    {
        Recueillir();
        if (attente_.size() >= LIMITE_TOURS) {
            Emettre();
        }
        if (terminal_) {
            ConvertirPlateauTerminal(image, attente_);
        } else {
            attente_.append(image);
        }
    }

    // Envoie au système tout ce qui attend, en une écriture.
    bool Emettre()
    {
        Recueillir();
        if (attente_.empty()) {
            return !echec_;
        }
        if (devant_ != nullptr) {
            devant_->Emettre();
        }
        if (!echec_ && !EcrireTout(fd_, attente_)) {
            echec_ = true;
        }
        attente_.clear();
        return !echec_;
    }

protected:
    int_type overflow(int_type c) override
    {
        Recueillir();
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            *pptr() = traits_type::to_char_type(c);
            pbump(1);
        }
        return echec_ ? traits_type::eof() : traits_type::not_eof(c);
    }

    int sync() override
    {
        Recueillir();
        const bool garder = differe_ ? attente_.size() < LIMITE_SECURITE
                                     : !attente_.empty() && attente_.back() != '\n' &&
                                           attente_.size() < LIMITE_SECURITE;
        if (garder) {
            return echec_ ? -1 : 0;
        }
        return Emettre() ? 0 : -1;
    }

private:
    // Au-delà de ces tailles, ce qui attend part sans attendre la lecture :
    // au début d'un tour (LIMITE_TOURS), ou à n'importe quel vidage si le jeu
    // écrit beaucoup sans dessiner de plateau (LIMITE_SECURITE).
    static constexpr std::size_t LIMITE_TOURS = std::size_t{1} << 16;
    static constexpr std::size_t LIMITE_SECURITE = std::size_t{1} << 20;

    // Passe le contenu de la zone d'écriture dans l'attente, converti au besoin.
    void Recueillir()
    {
        if (terminal_) {
            for (const char* p = pbase(); p != pptr(); ++p) {
                AjouterUtf8(attente_, static_cast<unsigned char>(*p));
            }
        } else {
            attente_.append(pbase(), pptr());
        }
        setp(zone_, zone_ + sizeof zone_);
    }

    int fd_;
    bool terminal_;
    bool differe_;
    TamponSortie* devant_;
    bool echec_ = false;
    char zone_[4096];
    std::string attente_;
};

// Tampon d'entrée sur le descripteur 0 : avant chaque lecture, ce qui attend
// sur la sortie standard part vers l'écran.
class TamponEntree : public std::streambuf {
public:
    explicit TamponEntree(TamponSortie& sortie) : sortie_(sortie) { setg(zone_, zone_, zone_); }

protected:
    int_type underflow() override
    {
        if (gptr() < egptr()) {
            return traits_type::to_int_type(*gptr());
        }
        // Si l'écran ne reçoit plus rien (sortie fermée), personne ne peut plus
        // jouer : l'entrée est considérée comme terminée.
        if (!sortie_.Emettre()) {
            return traits_type::eof();
        }
        ssize_t n = -1;
        do {
            n = ::read(0, zone_, sizeof zone_);
        } while (n < 0 && errno == EINTR);
        if (n <= 0) {
            return traits_type::eof();
        }
        setg(zone_, zone_, zone_ + n);
        return traits_type::to_int_type(*gptr());
    }

private:
    TamponSortie& sortie_;
    char zone_[4096];
};

struct Console;
Console* console = nullptr;

// La console installée ; à la fin du programme (retour de main ou exit), tout
// ce qui attend est écrit et les flux retrouvent leurs tampons d'origine.
struct Console {
    TamponSortie sortie{1, ::isatty(1) == 1, true};
    TamponSortie erreur{2, ::isatty(2) == 1, false, &sortie};
    TamponEntree entree{sortie};
    std::streambuf* origineSortie = nullptr;
    std::streambuf* origineErreur = nullptr;
    std::streambuf* origineEntree = nullptr;

    Console()
    {
        origineSortie = std::cout.rdbuf(&sortie);
        origineErreur = std::cerr.rdbuf(&erreur);
        origineEntree = std::cin.rdbuf(&entree);
    }

    ~Console()
    {
        console = nullptr;
        std::cout.flush();
        sortie.Emettre();
        erreur.Emettre();
        std::cout.rdbuf(origineSortie);
        std::cerr.rdbuf(origineErreur);
        std::cin.rdbuf(origineEntree);
    }

    Console(const Console&) = delete;
    Console& operator=(const Console&) = delete;
};

} // namespace

void InstallerConsole()
{
    static Console instance;
    console = &instance;
}

bool ViderConsole()
{
    const bool vide = static_cast<bool>(std::cout.flush());
    if (console != nullptr && std::cout.rdbuf() == &console->sortie) {
        return console->sortie.Emettre() && vide;
    }
    return vide;
}

void AfficherPlateau(std::string_view image)
{
    if (console != nullptr && std::cout.rdbuf() == &console->sortie) {
        console->sortie.AjouterPlateau(image);
    } else {
        std::cout.write(image.data(), static_cast<std::streamsize>(image.size()));
    }
}

void ConvertirPlateauTerminal(std::string_view image, std::string& sortie)
{
    const std::array<Couleur, 256>& couleurs = TableCouleurs();
    sortie += CURSEUR_EN_HAUT;
    Couleur courante = NORMALE;
    bool debutDeLigne = true;
    for (const char c : image) {
        // Chaque rangée efface d'abord l'ancienne ligne : effacer après la
        // 78e colonne ôterait sur certains terminaux de 78 colonnes leur
        // dernière case, le curseur y restant en attente de retour à la ligne.
        if (debutDeLigne) {
            sortie += EFFACER_FIN_LIGNE;
        }
        const auto octet = static_cast<unsigned char>(c);
        const Couleur couleur = c == '\n' ? NORMALE : couleurs[octet];
        if (couleur != courante) {
            // Chaque suite colorée se referme : un jeu interrompu rend au
            // terminal ses couleurs.
            if (courante != NORMALE) {
                sortie += RETOUR_COULEURS;
            }
            sortie += SEQUENCES_COULEUR[couleur];
            courante = couleur;
        }
        AjouterUtf8(sortie, octet);
        debutDeLigne = c == '\n';
    }
    if (courante != NORMALE) {
        sortie += RETOUR_COULEURS;
    }
    sortie += EFFACER_DESSOUS;
}

std::string ConvertirOctetUtf8(unsigned char octet)
{
    std::string resultat;
    AjouterUtf8(resultat, octet);
    return resultat;
}
