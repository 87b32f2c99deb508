#include "Clock.h"
#include "MessageBoxPrompter.h"
#include "ProgramArguments.h"
#include "ProgramDirectory.h"
#include "TDMLB.h"
#include "TfRAPO.h"

#include <QApplication>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    const ProgramArguments arguments = ProgramArguments::parse(app.arguments().mid(1));
    const QString programDirectory = ProgramDirectory::path();

    TDMLB dataModule(arguments);
    MessageBoxPrompter prompter;
    SystemClock clock;
    TfRAPO window(dataModule, prompter, clock, programDirectory);
    prompter.setParent(&window);
    window.FormCreate();
    if (!window.terminating())
        window.show();
    return app.exec();
}
