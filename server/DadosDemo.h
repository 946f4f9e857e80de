#pragma once

class Armazenamento;

// The data of a demonstration service: a few dozen scripts across the three systems, dated over
// the last four months and today, and a change log with edits by two users (DEMO and MARIA), so
// every page of the program finds something on its first search.
class DadosDemo {
public:
    // Fills an empty database; one that holds scripts or log entries is left as it is. Returns
    // whether it filled it.
    static bool criar(Armazenamento &armazenamento);
};
