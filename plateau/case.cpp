#include "plateau/case.h"

#include <iostream>

bool EstPastille(Case c)
{
    return c == PASTILLE;
}

bool EstObstacle(Case c)
{
    return c != VIDE && c != PASTILLE && c != SYMBOLE_FANTOME && c != SYMBOLE_GLOUTO;
}

void AfficherCase(Case c)
{
    std::cout << c;
}
