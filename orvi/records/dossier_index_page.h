// The index page of a plant's dossier: a line per measuring point of the instrument index, with the
// verdicts of its configuration and loop check and a link to its transmitter's page.
#pragma once
#include <string>
#include <vector>

// Texts are UTF-8.
struct DossierRow {
    std::string tag, line;
    int address = 0;
    std::string serial;                    // as read; the index's where nothing was read; may be empty
    std::string configuration;             // the configuration's verdict in words
    bool configurationOk = false;          // as designed
    std::vector<std::string> differences;  // "limite_superior: 400 -> 450"
    std::string loop;                      // "APROVADA", "REPROVADA", "não feito" ...
    bool loopFailed = false;
    std::string page;    // the transmitter's page, a file beside the index page; empty: it has none
    std::string noPage;  // why it has none
};

struct DossierIndex {
    std::string plant;
    std::string indexFile;  // the instrument index it was made from
    std::vector<DossierRow> rows;
    std::string issued, user, machine;
    std::string operatorName;  // empty: a blank to sign on
};

// Printed, every page carries the plant and its page number.
std::string DossierIndexHtml(const DossierIndex& index);
