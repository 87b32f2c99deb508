#include "ProgramArguments.h"

#include <QTextStream>
#include <algorithm>

const QList<ProgramOption> &ProgramArguments::table() {
    static const QList<ProgramOption> options = {
        {QStringLiteral("--report"),
         {QStringLiteral("OD"), QStringLiteral("DO")},
         QStringLiteral("zbere obdobje (dd.mm.llll), generira in preveri poročilo, izpiše pot")},
        {QStringLiteral("--sign"),
         {},
         QStringLiteral("z --report: poročilo podpiše, kriptira in dostavi (RAPO.ini)")},
        {QStringLiteral("--list-reports"),
         {QStringLiteral("OD"), QStringLiteral("DO")},
         QStringLiteral("izpiše register poročil obdobja")},
        {QStringLiteral("--confirm"),
         {QStringLiteral("DATOTEKA")},
         QStringLiteral("poročilo označi kot \"Potrjeno\"")},
        {QStringLiteral("--reject"),
         {QStringLiteral("DATOTEKA")},
         QStringLiteral("poročilo označi kot \"Zavrnjeno\"")},
        {QStringLiteral("--regenerate"),
         {QStringLiteral("DATOTEKA")},
         QStringLiteral("zavrnjeno poročilo generira ponovno")},
        {QStringLiteral("--delete-report"),
         {QStringLiteral("DATOTEKA")},
         QStringLiteral("izbriše neposlano poročilo in njegovo datoteko")},
        {QStringLiteral("--sign-file"),
         {QStringLiteral("DATOTEKA")},
         QStringLiteral("poročilo podpiše, kriptira in dostavi (RAPO.ini)")},
        {QStringLiteral("--sign-pdf"),
         {},
         QStringLiteral("podpiše, kriptira in dostavi PDF datoteke mape PDF_Path (RAPO.ini)")},
        {QStringLiteral("--import"),
         {QStringLiteral("DATOTEKA"), QStringLiteral("DAN")},
         QStringLiteral("uvozi transakcije dneva iz delovnega zvezka (.xls, .xlsx)")},
        {QStringLiteral("--export"),
         {QStringLiteral("OD"), QStringLiteral("DO"), QStringLiteral("DATOTEKA")},
         QStringLiteral("zbere obdobje in nabor zapiše v delovni zvezek (.xlsx)")},
        {QStringLiteral("--create-db"),
         {QStringLiteral("ALIAS")},
         QStringLiteral("naredi prazno vgrajeno podatkovno zbirko ALIAS.sqlite")},
        {QStringLiteral("--create-demo"),
         {QStringLiteral("ALIAS")},
         QStringLiteral("naredi zbirko s podatki predstavitvenega mesta in RAPO.ini")},
        {QStringLiteral("--host-schema"),
         {QStringLiteral("ORACLE|DB2")},
         QStringLiteral("izpiše skripto, ki v zbirki gostitelja namesti tabele programa")},
        {QStringLiteral("--help"), {}, QStringLiteral("izpiše ta navodila")},
        {QStringLiteral("--version"), {}, QStringLiteral("izpiše različico programa")},
    };
    return options;
}

int ProgramArguments::valueCount(const QString &option) {
    for (const ProgramOption &o : table())
        if (o.name == option)
            return static_cast<int>(o.values.size());
    return 0;
}

ProgramArguments ProgramArguments::parse(const QStringList &arguments) {
    ProgramArguments a;
    bool optionsEnded = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if (optionsEnded || !argument.startsWith(QStringLiteral("--"))) {
            a.positional << argument;
            continue;
        }
        if (argument == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        const auto known = std::find_if(table().cbegin(), table().cend(),
                                        [&](const ProgramOption &o) { return o.name == argument; });
        if (known == table().cend()) {
            if (a.error.isEmpty())
                a.error = QStringLiteral("neznana možnost ") + argument + u'.';
            continue;
        }
        QStringList values;
        for (qsizetype v = 0; v < known->values.size(); ++v) {
            // An option is never the value of another one.
            if (i + 1 >= arguments.size() || arguments[i + 1].startsWith(QStringLiteral("--"))) {
                if (a.error.isEmpty())
                    a.error = QStringLiteral("možnost ") + argument +
                              QStringLiteral(" potrebuje ") + known->values.join(u' ') + u'.';
                break;
            }
            values << arguments[++i];
        }
        a.options.insert(argument, values);
    }
    // With one or two arguments nothing is taken: the first database access then fails.
    if (a.positional.size() > 2) {
        a.alias = a.positional[0];
        a.user = a.positional[1];
        a.password = a.positional[2];
    }
    // The application user counts only when exactly four arguments are given.
    if (a.positional.size() == 4)
        a.applicationUser = a.positional[3];
    return a;
}

QString ProgramArguments::usage() {
    QString text = QStringLiteral(
        "Uporaba:\n"
        "  rapo ALIAS UPORABNIK GESLO [APLIKACIJSKI_UPORABNIK]           okno programa\n"
        "  rapo ALIAS UPORABNIK GESLO [APLIKACIJSKI_UPORABNIK] UKAZ ...  brez okna\n"
        "  rapo --create-db ALIAS | --create-demo ALIAS | --host-schema ORACLE|DB2\n"
        "  rapo --help | --version\n"
        "\n"
        "Možnosti:\n");
    for (const ProgramOption &o : table()) {
        const QString head = o.name + (o.values.isEmpty() ? QString() : u' ' + o.values.join(u' '));
        text += QStringLiteral("  ") + head.leftJustified(26) + u' ' + o.description + u'\n';
    }
    text += QStringLiteral(
        "\n"
        "GESLO \"-\" prebere geslo iz prve vrstice standardnega vhoda. Samostojni \"--\" konča\n"
        "možnosti: kar sledi, velja dobesedno (geslo, ki se začne z \"--\").\n"
        "\n"
        "Okolje:\n"
        "  RAPO_HOME              mapa programa (RAPO.ini, Log.txt, poročila)\n"
        "  RAPO_PASSPHRASE_FILE   datoteka z geslom za podpisovanje, berljiva le lastniku\n"
        "  RAPO_BUSY_TIMEOUT      koliko milisekund vgrajena zbirka čaka na zaklep (5000)\n"
        "  RAPO_SQL_LOG           datoteka, v katero se dopiše vsak stavek za zbirko, z vezanimi\n"
        "                         vrednostmi v komentarjih in vrstico \"/\" za njim (za skrbnika\n"
        "                         zbirke; gesel ne vsebuje)\n"
        "\n"
        "Izhodne kode: 0 opravljeno; 1 napaka (sporočilo je na standardnem izhodu za napake);\n"
        "2 v oknu je treba izbrati instrument za poročanje; 3 ni ničesar za poročanje.\n");
    return text;
}

bool ProgramArguments::readPasswordFrom(QTextStream &in) {
    if (password != QLatin1String("-"))
        return true;
    QString line;
    if (!in.readLineInto(&line))
        return false;
    if (line.endsWith(u'\r'))
        line.chop(1);
    password = line;
    return true;
}
