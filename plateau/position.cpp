#include "plateau/position.h"

bool EstInvalide(Position p)
{
    return p == POSITION_INVALIDE;
}

bool EstDans(std::int16_t v, std::int16_t min, std::int16_t max)
{
    return min <= v && v <= max;
}

bool EstSurGrille(Position p)
{
    return EstDans(p.x, 0, LARGEUR - 1) && EstDans(p.y, 0, HAUTEUR - 1);
}

Position Est(Position p)
{
    if (!EstSurGrille(p)) {
        return POSITION_INVALIDE;
    }
    return {static_cast<std::int16_t>((p.x + 1) % LARGEUR), p.y};
}

Position Nord(Position p)
{
    if (!EstSurGrille(p)) {
        return POSITION_INVALIDE;
    }
    return {p.x, static_cast<std::int16_t>(p.y == 0 ? HAUTEUR - 1 : p.y - 1)};
}

Position Ouest(Position p)
{
    if (!EstSurGrille(p)) {
        return POSITION_INVALIDE;
    }
    return {static_cast<std::int16_t>(p.x == 0 ? LARGEUR - 1 : p.x - 1), p.y};
}

Position Sud(Position p)
{
    if (!EstSurGrille(p)) {
        return POSITION_INVALIDE;
    }
    return {p.x, static_cast<std::int16_t>((p.y + 1) % HAUTEUR)};
}

bool EstVoisin(Position cible, Position origine)
{
    if (!EstSurGrille(cible) || !EstSurGrille(origine)) {
        return false;
    }
    return cible == Est(origine) || cible == Nord(origine) || cible == Ouest(origine) ||
           cible == Sud(origine);
}
