#include "records/errors.h"

#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>

namespace evstat {

namespace {
// One message per code, as the front end shows it (Windows-1252, odd spellings kept).
constexpr std::array<std::string_view, kErreurCount> kMessages = {
    /*  0 */ "Votre fichier Tmp*.txt ne contient pas toutes les informations n\xe9" "cessaires. Le type de chargement peut \xeatre incorrect.",
    /*  1 */ "Le chemin sp\xe9" "cifi\xe9 n'existe pas.",
    /*  2 */ "Le nom de chemin doit \xeatre une chaine de caract\xe8res.",
    /*  3 */ "Le fichier sp\xe9" "cifi\xe9 est introuvable ou n'existe pas.",
    /*  4 */ "Le nom de fichier de donn\xe9" "es doit \xeatre une cha\xeene de caract\xe8res.",
    /*  5 */ "Le num\xe9ro de t\xe2" "che doit \xeatre compris entre 1 et 40.",
    /*  6 */ "Le num\xe9ro de tache doit \xeatre un nombre entier.",
    /*  7 */ "Le numero de tache ne corre^spond pas \xe0 ce type de chargement (cf documentation technique).",
    /*  8 */ "Le num\xe9ro de tache doit \xeatre un nombre entier.",
    /*  9 */ "Le nom de loi sp\xe9" "cifi\xe9 est absent du catalogue de mod\xe8les (cf documentation technique).",
    /* 10 */ "Le nom de la loi doit \xeatre une cha\xeene de caract\xe8re.",
    /* 11 */ "Les param\xe8tres de la loi ne doit pas contenir de caract\xe8res alphab\xe9tiques.",
    /* 12 */ "Valeurs des param\xe8tres non valides.",
    /* 13 */ "La taille de l'\xe9" "chantillon doit \xeatre un nombre entier.",
    /* 14 */ "La taille de l'\xe9" "chantillon doit \xeatre sup\xe9rieure ou \xe9gale \xe0 1.",
    /* 15 */ "La borne inf\xe9rieure ne doit pas contenir de caract\xe8res alphab\xe9tiques.",
    /* 16 */ "Le nombre d'\xe9" "chantillons souhait\xe9s doit \xeatre un nombre entier.",
    /* 17 */ "Le nombre d'\xe9" "chantillons doit \xeatre sup\xe9rieur ou \xe9gal \xe0 1.",
    /* 18 */ "La borne sup\xe9rieure ne doit pas contenir de caract\xe8res alphab\xe9tiques.",
    /* 19 */ "La borne sup\xe9rieure doit \xeatre sup\xe9rieure \xe0 la borne inf\xe9rieure.",
    /* 20 */ "Le nombre de classes de l'histogramme doit \xeatre un nombre entier.",
    /* 21 */ "Le nombre de points doit \xeatre un nombre entier.",
    /* 22 */ "Le nombre de points doit \xeatre sup\xe9rieur ou \xe9gal \xe0 1.",
    /* 23 */ "Le nombre de classes de l'histogramme doit \xeatre sup\xe9rieur ou \xe9gal \xe0 1.",
    /* 24 */ "Le nombre d'exc\xe8s doit \xeatre un nombre entier.",
    /* 25 */ "Le nombre d'exc\xe8s doit \xeatre sup\xe9rieur ou \xe9gal \xe0 2.",
    /* 26 */ "Le niveau du test doit ne doit pas comporter de caract\xe8res alphab\xe9tiques.",
    /* 27 */ "Le niveau du test ne peut prendre que des valeurs bien d\xe9" "finies (cf documentation technique).",
    /* 28 */ "La borne inf\xe9rieure des exc\xe8s doit \xeatre un nombre entier.",
    /* 29 */ "La borne inf\xe9rieure des exc\xe8s doit \xeatre sup\xe9rieure ou \xe9gale \xe0 2.",
    /* 30 */ "La borne sup\xe9rieure des exc\xe8s doit \xeatre un nombre entier.",
    /* 31 */ "La borne sup\xe9rieure des exc\xe8s doit \xeatre sup\xe9rieure ou \xe9gale \xe0 2.",
    /* 32 */ "La borne sup\xe9rieure des exc\xe8s doit \xeatre sup\xe9rieure \xe0 la borne inf\xe9rieure des exc\xe8s.",
    /* 33 */ "La version du test ET doit \xeatre un nombre entier (cf documentation technique).",
    /* 34 */ "La version du test ET ne peut prendre que certaines valeurs sp\xe9" "cifiques (cf documentation technique)",
    /* 35 */ "Le nombre d'\xe9" "chantillons de bootstrap doit \xeatre un nombre entier.",
    /* 36 */ "Le nombre d'\xe9" "chantillons de bootstrap doit \xeatre strictement positif.",
    /* 37 */ "L'ordre du quantile ne doit pas comporter de caract\xe8res alphab\xe9tiques.",
    /* 38 */ "L'ordre du quantile doit \xeatre compris entre 0 et 1 strictement.",
    /* 39 */ "Les param\xe8tres de la loi beta a priori ne doivent pas comporter de caract\xe8res alphab\xe9tiques.",
    /* 40 */ "La borne sup\xe9rieure de l'intervalle de d\xe9" "fnition de la loi beta a priori ne peut pas \xeatre inf\xe9rieure \xe0 la borne inf\xe9rieure.",
    /* 41 */ "Le champ qui sp\xe9" "cifie si les donn\xe9" "es ont \xe9t\xe9 simul\xe9" "es doit \xeatre un nombre entier.",
    /* 42 */ "La variable qui indique si les donn\xe9" "es sont simul\xe9" "es ne peut prendre que des valeurs sp\xe9" "cifiques (cf documentation).",
    /* 43 */ "Le nom de la loi de simulation doit \xeatre une cha\xeene de caract\xe8res.",
    /* 44 */ "Le nom de la loi de simulation est absent du catlogue des mod\xe8les (cf documentation technique).",
    /* 45 */ "La variable sp\xe9" "cifiant l'utilisation d'un avis d'expert ne doit pas comporter de caract\xe8res alphab\xe9tiques.",
    /* 46 */ "La variable sp\xe9" "cifiant l'utilisation d'un avis d'expert ne peut prendre que des valeurs sp\xe9" "cifiques (cf documentation technique)",
    /* 47 */ "Le quantile maximum donn\xe9 par l'expert doit \xeatre un nombre r\xe9" "el.",
    /* 48 */ "Le borne inf\xe9rieure du risque ne doit \xeatre un nombre r\xe9" "el.",
    /* 49 */ "La borne inf\xe9rieure du risque doit \xeatre comprise entre 0 et 1 strictement.",
    /* 50 */ "Le borne sup\xe9rieure du risque ne doit \xeatre un nombre r\xe9" "el.",
    /* 51 */ "La borne sup\xe9rieure du risque doit \xeatre comprise entre 0 et 1 strictement.",
    /* 52 */ "Le risque p2 doit \xeatre inf\xe9rieur au risque p1.",
    /* 53 */ "Le niveau de d\xe9" "fiance doit \xeatre un nombre r\xe9" "el.",
    /* 54 */ "Le niveau de d\xe9" "fiance doit \xeatre compris entre 0 et 1 strictement",
    /* 55 */ "La confiance accord\xe9" "e \xe0 l'expert doit \xeatre une cha\xeene de caract\xe8res.",
    /* 56 */ "La confiance accord\xe9" "e \xe0 l'expert ne peut prendre que des valeurs sp\xe9" "cifiques (cf documentation technique).",
    /* 57 */ "Le nom du test central utilis\xe9 doit \xeatre une chaine de caract\xe8res.",
    /* 58 */ "Le nom du test utilis\xe9 ne peut prendre que des valeurs sp\xe9" "cifiques (cf documentation technique).",
    /* 59 */ "le nom de la m\xe9thode doit \xeatre ue cha\xeene de carac\xe8res.",
    /* 60 */ "Le nom de la m\xe9thode utilis\xe9" "e ne peut prendre que des valeurs sp\xe9" "cifiques (cf documentation technique).",
    /* 61 */ "Estimation des param\xe8tres impossible. Pr\xe9sence de donn\xe9" "es n\xe9gatives",
    /* 62 */ "Estimation des param\xe8tres impossible. Donn\xe9" "es en dehors du support.",
    /* 63 */ "L'estimation des param\xe8tres pour ce mod\xe8le est impossible. Mod\xe8le incompatible.",
    /* 64 */ "Le mod\xe8le ne convient pas. Pr\xe9sence de donn\xe9" "es n\xe9gatives.",
    /* 65 */ "Condition math\xe9matique non v\xe9rifi\xe9" "e. Calcul impossible. M\xe9thode invalide.",
    /* 66 */ "Le programme ne contient pas assez d'arguments.",
    /* 67 */ "Le fichier de donn\xe9" "es est vide ou contient une valeur non num\xe9rique.",
    /* 68 */ "Le fichier de r\xe9sultats ne peut pas \xeatre \xe9" "crit.",
};
}  // namespace

const std::string_view kNegativeDataSentence =
    "Pr\xe9" "sence de donn\xe9" "es n\xe9" "gatives. Nombre d'exc\xe8" "s maximum : ";

std::string_view error_message(Erreur code) {
    const int index = static_cast<int>(code);
    if (index < 0 || index >= kErreurCount) return {};
    return kMessages[static_cast<std::size_t>(index)];
}

bool ErrorReporter::write(const std::string& path, Erreur code) const {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    const std::string_view message = error_message(code);
    const bool written = std::fwrite(message.data(), 1, message.size(), file) == message.size();
    return (std::fclose(file) == 0) && written;
}

namespace {
constexpr std::size_t kLongestDetail = 300;  // bytes of detail shown at most

void append_code_point(std::string& out, unsigned value) {
    if (value < 0x80) {
        out += static_cast<char>(value);
    } else {
        out += static_cast<char>(0xC0 | (value >> 6));
        out += static_cast<char>(0x80 | (value & 0x3F));
    }
}

// The length of the UTF-8 sequence that starts at `at`, or 0 when it is not one.
std::size_t utf8_sequence(std::string_view text, std::size_t at) {
    const unsigned char lead = static_cast<unsigned char>(text[at]);
    std::size_t length = 0;
    if (lead >= 0xC2 && lead < 0xE0) length = 2;
    else if (lead >= 0xE0 && lead < 0xF0) length = 3;
    else if (lead >= 0xF0 && lead < 0xF5) length = 4;
    if (length == 0 || at + length > text.size()) return 0;
    for (std::size_t i = 1; i < length; ++i)
        if ((static_cast<unsigned char>(text[at + i]) & 0xC0) != 0x80) return 0;
    return length;
}

// A message (Windows-1252, accented Latin letters only) in UTF-8.
std::string message_in_utf8(std::string_view message) {
    std::string out;
    for (const char c : message) append_code_point(out, static_cast<unsigned char>(c));
    return out;
}

// A detail as one printable UTF-8 line: UTF-8 sequences are kept, any other byte above
// 127 is taken as Latin-1, control characters become '?'.
std::string printable(std::string_view detail) {
    std::string out;
    for (std::size_t at = 0; at < detail.size() && out.size() < kLongestDetail;) {
        const unsigned char c = static_cast<unsigned char>(detail[at]);
        if (const std::size_t length = c >= 0x80 ? utf8_sequence(detail, at) : 0; length > 0) {
            out.append(detail.substr(at, length));
            at += length;
            continue;
        }
        if (c < 0x20 || c == 0x7F)
            out += '?';
        else if (c >= 0x80 && c < 0xA0)
            out += '?';
        else
            append_code_point(out, c);
        ++at;
    }
    return out;
}
}  // namespace

Erreur with_detail(Erreur failure, std::string_view detail) {
    failure.length_ = detail.copy(failure.detail_.data(), failure.detail_.size());
    return failure;
}

std::string error_line(const Erreur& failure) {
    std::string line = "Erreur " + std::to_string(static_cast<int>(failure)) + " : " +
                       message_in_utf8(error_message(failure));
    if (!failure.detail().empty()) line += " (" + printable(failure.detail()) + ")";
    return line;
}

bool remove_error_file(const std::string& path) {
    return ::unlink(path.c_str()) == 0 || errno == ENOENT;
}

}  // namespace evstat
