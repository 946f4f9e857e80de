// BriselScripts: start-up in its fixed order, then the main window and the event loop.
#include "app/Aparencia.h"
#include "app/BriselApplication.h"
#include "app/Inicializacao.h"
#include "app/InstanciaUnica.h"
#include "app/TdmPrincipal.h"
#include "app/TfrmPrincipalScripts.h"
#include "app/VerificarVersaoComEspera.h"
#include "base/SinaisDeTermino.h"
#include "validation/TrialCopy.h"
#include "widgets/MessageBoxMessages.h"

int main(int argc, char *argv[]) {
    SinaisDeTermino::manterPadrao();
    // Any failure that escapes start-up ends the process at once, with no message.
    try {
        BriselApplication app(argc, argv);
        InstanciaUnica instancia;
        if (instancia.avisarOutra())
            return 0;
        // Trial copies of local databases that a killed run left behind (those on a server go
        // with the next trial there, which knows its password).
        TrialCopy::removeLocalLeftovers(FirebirdClient::system(), TrialCopyRegistry::standard());
        Aparencia::aplicar(app);
        MessageBoxMessages messages;
        app.setMessages(&messages);

        const LocaisPrograma locais = LocaisPrograma::deduzir(QCoreApplication::applicationDirPath());
        locais.criarDiretorios();
        TdmPrincipal dm(locais);
        Inicializacao inicializacao(
            locais, dm.versao(), messages,
            [&dm] { return VerificarVersaoComEspera([&dm] { return dm.VerificarVersao(); }); },
            &Inicializacao::iniciarDesanexado);
        if (!inicializacao.executar())
            return 0;

        TfrmPrincipalScripts janela(dm, messages, app.arguments().mid(1));
        instancia.escutar();
        QObject::connect(&instancia, &InstanciaUnica::chamada, &janela, &TfrmPrincipalScripts::ColocarNoTopo);
        janela.show();
        return app.exec();
    } catch (...) {
        return 1;
    }
}
