#include "console/terminal.h"

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

char32_t PointDeCode(unsigned char octet)
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

void AjouterUtf8(std::string& sortie, char32_t point)
{
    if (point < 0x80) {
        sortie += static_cast<char>(point);
    } else if (point < 0x800) {
        sortie += static_cast<char>(0xC0 | (point >> 6));
        sortie += static_cast<char>(0x80 | (point & 0x3F));
    } else {
        sortie += static_cast<char>(0xE0 | (point >> 12));
        sortie += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
        sortie += static_cast<char>(0x80 | (point & 0x3F));
    }
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
// La sortie standard est « différée » : un vidage du flux (std::endl) ne fait
// que garder les octets, qui partent d'un bloc quand Emettre() est appelée.
class TamponSortie : public std::streambuf {
public:
    TamponSortie(int fd, bool terminal, bool differe)
        : fd_(fd), terminal_(terminal), differe_(differe)
    {
        setp(zone_, zone_ + sizeof zone_);
    }

    bool EstTerminal() const { return terminal_; }

    // Ajoute des octets tels quels, sans conversion (séquences du terminal).
    void AjouterBrut(const std::string& octets)
    {
        Recueillir();
        attente_ += octets;
    }

    // Envoie au système tout ce qui attend.
    bool Emettre()
    {
        Recueillir();
        if (attente_.empty()) {
            return !echec_;
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
        if (differe_ && attente_.size() < LIMITE_ATTENTE) {
            return echec_ ? -1 : 0;
        }
        return Emettre() ? 0 : -1;
    }

private:
    static constexpr std::size_t LIMITE_ATTENTE = 1 << 16;

    // Passe le contenu de la zone d'écriture dans l'attente, converti au besoin.
    void Recueillir()
    {
        if (terminal_) {
            for (const char* p = pbase(); p != pptr(); ++p) {
                AjouterUtf8(attente_, PointDeCode(static_cast<unsigned char>(*p)));
            }
        } else {
            attente_.append(pbase(), pptr());
        }
        setp(zone_, zone_ + sizeof zone_);
    }

    int fd_;
    bool terminal_;
    bool differe_;
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

// Tampon d'erreur : la sortie standard déjà écrite passe d'abord, pour qu'une
// ligne d'erreur ne la double jamais.
class TamponErreur : public TamponSortie {
public:
    TamponErreur(bool terminal, TamponSortie& sortie)
        : TamponSortie(2, terminal, false), sortie_(sortie)
    {
    }

protected:
    int sync() override
    {
        sortie_.Emettre();
        return TamponSortie::sync();
    }

private:
    TamponSortie& sortie_;
};

struct Console;
Console* console = nullptr;

// La console installée ; à la fin du programme (retour de main ou exit), tout
// ce qui attend est écrit et les flux retrouvent leurs tampons d'origine.
struct Console {
    TamponSortie sortie{1, ::isatty(1) == 1, true};
    TamponErreur erreur{::isatty(2) == 1, sortie};
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

void EffacerConsole()
{
    if (console != nullptr && console->sortie.EstTerminal()) {
        // Curseur en haut à gauche, puis écran effacé.
        console->sortie.AjouterBrut("\x1b[H\x1b[2J");
    }
}

std::string ConvertirOctetUtf8(unsigned char octet)
{
    std::string resultat;
    AjouterUtf8(resultat, PointDeCode(octet));
    return resultat;
}
