// The table of orvictl's commands with their help texts.
#include "commands.h"
#include "exit_codes.h"
#include "text_output.h"

const Command kCommands[] = {
    {"scan", "procura todos os transmissores da linha",
     "Uso: orvictl [opções globais] scan [--addresses A-B] [--rates R1,R2,...] [--answer-ms N]\n"
     "                                   [--timeout MS] [--expect N] [--json | --csv] [--port PORTA...]\n"
     "\n"
     "Procura transmissores em cada taxa (padrão: as cinco, da mais rápida) e em cada endereço da\n"
     "faixa (padrão: 1-247). Cada endereço recebe uma pergunta com espera curta: N ms e um caractere\n"
     "pelo início da resposta (--answer-ms, padrão 30); quem responde é confirmado pela leitura normal,\n"
     "com suas repetições, antes de aparecer. Respostas que colidem (CRC errado, bytes sem sentido)\n"
     "aparecem como provável endereço duplicado. Mostra endereço, taxa, número de série, firmware,\n"
     "tipo de entrada e o tempo de resposta medido. Num terminal, mostra o progresso e o tempo que\n"
     "falta. Ctrl-C para a busca e fecha a porta.\n"
     "\n"
     "  --addresses A-B   faixa de endereços, por exemplo 1-10\n"
     "  --rates R1,R2     taxas a tentar, por exemplo 9600,19200\n"
     "  --answer-ms N     tempo que um transmissor tem para começar a responder (padrão 30)\n"
     "  --timeout MS      espera inteira por endereço calado, no lugar de um caractere + --answer-ms\n"
     "  --expect N        para quando N transmissores foram encontrados\n"
     "  --json, --csv     o resultado em JSON ou CSV (UTF-8), com o estado de cada endereço\n"
     "  --port PORTA      a linha a procurar, no lugar da --port global; dada várias vezes, as linhas\n"
     "                    são procuradas ao mesmo tempo (--expect vale para cada uma) e cada uma sai\n"
     "                    inteira, na ordem dada, com a porta (coluna porta no CSV e no JSON)\n"
     "\n"
     "Sai com 4 quando nenhum transmissor respondeu.\n",
     RunScan},
    {"show", "mostra a configuração inteira",
     "Uso: orvictl [opções globais] show [--json]\n"
     "\n"
     "Lê a configuração e mostra, com os nomes e unidades dos catálogos: tipo de entrada, unidade,\n"
     "limites, saída, função de alarme, set point, histerese, bloqueio, offset, número de série,\n"
     "firmware, os pares de calibração e os bits de estado com seus textos.\n"
     "\n"
     "  --json   a mesma informação em JSON (UTF-8), para scripts\n",
     RunShow},
    {"save", "grava a configuração num arquivo INI comentado",
     "Uso: orvictl [opções globais] save [--with-calibration] [--tag NOME] ARQUIVO\n"
     "     orvictl [opções globais] save [--with-calibration] [--answer-ms N] --all PASTA\n"
     "\n"
     "Lê a configuração e a grava em ARQUIVO: um INI simples (UTF-8), com os nomes nos comentários,\n"
     "que se pode ler e editar, e com a origem (porta, endereço, número de série). Endereço, taxa,\n"
     "número de série e calibração da saída (ZERO/SPAN) não fazem parte, para que o arquivo sirva\n"
     "para vários transmissores.\n"
     "\n"
     "  --with-calibration  inclui o número de série e a calibração da saída: uma cópia de segurança\n"
     "                      que só volta ao mesmo transmissor (load --with-calibration)\n"
     "  --tag NOME          nome do ponto de medição (chave tag=; fica só no arquivo). Sem --tag, o\n"
     "                      tag de um ARQUIVO que já existe é mantido\n"
     "  --all PASTA         todos os transmissores da linha na taxa atual: cada endereço de 1 a 247 recebe\n"
     "                      a pergunta curta de scan, e quem responde é lido e gravado em\n"
     "                      PASTA/orvi-END-SERIE.ini, uma linha por transmissor\n"
     "  --answer-ms N       com --all: tempo que um transmissor tem para começar a responder (padrão 30)\n",
     RunSave},
    {"load", "grava num transmissor a configuração de um arquivo",
     "Uso: orvictl [opções globais] load [--dry-run] [--with-calibration] [--addresses LISTA [--tags NOMES]]\n"
     "       ARQUIVO\n"
     "\n"
     "Lê ARQUIVO (como save o escreve), aplica as mesmas verificações da página Entrada/Saída e\n"
     "escreve só os parâmetros que mudam, na ordem da página, cada um conferido por leitura.\n"
     "Qualquer erro no arquivo (linha mal formada, chave desconhecida) ou numa verificação para\n"
     "antes de escrever. Um valor igual ao do transmissor nunca é recusado, mesmo fora do que a página\n"
     "oferece; um valor que muda passa pelas verificações da página. Uma escrita que falha, ou Ctrl-C,\n"
     "para a sequência e diz o que já foi escrito. O arquivo é UTF-8 (com ou sem a marca do Bloco de\n"
     "Notas) ou Windows-1252, como editores antigos o gravam; UTF-16, ou um arquivo que nenhuma das\n"
     "duas lê inteiro, é recusado. Endereço, taxa e número de série nunca são escritos; o tag fica no\n"
     "arquivo.\n"
     "\n"
     "  --dry-run            mostra o que mudaria, sem escrever\n"
     "  --with-calibration   escreve também a calibração da saída do arquivo, só se o número de série\n"
     "                       do arquivo for o do transmissor (senão nada é escrito)\n"
     "  --addresses LISTA    grava em cada endereço da LISTA (1,7,12 ou 10-12), uma linha por transmissor;\n"
     "                       um tag nomeia um ponto de medição só: com vários endereços o tag do\n"
     "                       arquivo não vai para nenhum (no diário), a não ser que --tags os nomeie\n"
     "  --tags NOMES         com --addresses, o tag de cada transmissor, na ordem dos endereços\n"
     "                       (TT-101,TT-102,TT-103; um nome vazio deixa aquele transmissor sem tag)\n"
     "\n"
     "As chaves são as de orvictl set --help.\n",
     RunLoad},
    {"diff", "compara o transmissor com um arquivo",
     "Uso: orvictl [opções globais] diff [--with-calibration] ARQUIVO\n"
     "\n"
     "Mostra o que load ARQUIVO mudaria no transmissor, sem escrever nada. Sai com 0 quando nada\n"
     "difere e com 1 quando algo difere (como diff); um erro dá os códigos de sempre (2 ou mais).\n"
     "\n"
     "  --with-calibration   compara também a calibração da saída (só com o mesmo número de série)\n",
     RunDiff},
    {"set", "muda parâmetros: CHAVE=VALOR ...",
     "Uso: orvictl [opções globais] set [--dry-run] CHAVE=VALOR...\n"
     "\n"
     "Muda os parâmetros dados com as regras da página Entrada/Saída: um tipo de entrada novo\n"
     "reescala os limites e o set point não dados; uma unidade nova converte limites, set point e\n"
     "histerese não dados. Um tipo de entrada que conta em décimos de grau (6 e 14), vindo de um que\n"
     "conta em graus, ou o contrário, leva a histerese não dada para o seu passo (2 vira 20), com o\n"
     "mesmo tamanho em graus, e o diz. Depois verifica, escreve na ordem da página e confere cada escrita.\n"
     "\n"
     "Chaves:\n"
     "  entrada           tipo de entrada, 0 a 18:\n"
     "                      0 J, 1 K, 2 T, 3 N, 4 R, 5 S (termopares), 6 Pt100 em décimos, 7 Pt100,\n"
     "                      8 a 13 4-20mA lin. J, K, T, N, R, S, 14 4-20mA lin. Pt100 em décimos,\n"
     "                      15 4-20mA lin. Pt100, 16 linear 0-50mV, 17 linear 4-20mA, 18 linear 0-10V\n"
     "  unidade           0 °C, 1 °F\n"
     "  limite_inferior   limite inferior da escala\n"
     "  limite_superior   limite superior da escala\n"
     "  saida             13 (0 a 20mA) ou 14 (4 a 20mA)\n"
     "  alarme_funcao     0 Sem Alarme, 1 Sensor aberto ou em curto, 4 Valor mínimo, 5 Valor máximo,\n"
     "                    6 Diferencial mínimo, 7 Diferencial máximo, 8 Diferencial\n"
     "  alarme_setpoint   set point de alarme\n"
     "  alarme_histerese  histerese de alarme (0 até a largura da faixa do sensor)\n"
     "  alarme_bloqueio   0 ou 1: alarme inicialmente bloqueado\n"
     "  offset            offset de indicação\n"
     "Temperaturas em graus da unidade; entradas 6 e 14 em décimos de grau (-1999 = -199.9).\n"
     "\n"
     "  --dry-run   mostra o que mudaria, sem escrever\n",
     RunSet},
    {"monitor", "acompanha o valor do processo, o alarme e o estado",
     "Uso: orvictl [opções globais] monitor [--addresses LISTA] [--interval SEGUNDOS] [--count N]\n"
     "       [--csv ARQUIVO [--excel] [--append | --force]]\n"
     "\n"
     "Lê valor do processo, unidade, alarme e estado a cada segundo (ou a cada SEGUNDOS) e mostra\n"
     "uma tabela; com --csv grava também CSV (UTF-8) com cabeçalho e hora de cada amostra (hora local\n"
     "com a diferença para UTC, por exemplo 2026-12-08T15:00:00.123-03:00)\n"
     "(--csv - escreve o CSV na saída padrão em vez da tabela). Para depois de N amostras ou com Ctrl-C.\n"
     "Uma amostra sem resposta é uma linha com a hora, sem valor e com o erro; se alguma se perdeu,\n"
     "o monitor termina com um resumo e o código 4.\n"
     "\n"
     "  --append   acrescenta as linhas a um CSV que já existe (sem repetir o cabeçalho); um CSV com\n"
     "             outro cabeçalho (outras colunas, ou com --excel ou sem) é recusado e fica como está\n"
     "  --force    substitui um CSV que já existe (sem --append nem --force, ele não é tocado)\n"
     "  --addresses LISTA  vários transmissores da linha (1,7,12 ou 10-12), lidos um após o outro a cada\n"
     "             intervalo; o CSV ganha as colunas endereco, numero_serie e tag (tag vazio: a linha\n"
     "             não o conhece)\n"
     "  --excel    CSV para planilha em português: separador ';', vírgula decimal, a marca UTF-8 e a hora\n"
     "             como 08/12/2026 15:00:00,123, que a planilha lê como data e hora, com a diferença\n"
     "             para UTC na coluna fuso (UTC-03:00)\n",
     RunMonitor},
    {"address", "muda o endereço do transmissor e o confirma",
     "Uso: orvictl [opções globais] address NOVO\n"
     "\n"
     "Escreve o endereço NOVO (1 a 247) no transmissor e confirma lendo-o no endereço novo. Só\n"
     "confirma o transmissor que tem lá o número de série lido antes da mudança: outro transmissor\n"
     "respondendo no endereço novo, ou nenhum, sai com 6 (não confirmado; o endereço pode ter mudado).\n",
     RunAddress},
    {"baud", "muda a taxa do transmissor e a confirma",
     "Uso: orvictl [opções globais] baud NOVA\n"
     "\n"
     "Escreve a taxa NOVA (1200, 2400, 4800, 9600 ou 19200) no transmissor e confirma lendo-a na taxa nova.\n",
     RunBaud},
    {"journal", "mostra o diário de escritas",
     "Uso: orvictl journal [--serial S] [--since DATA] [--json]\n"
     "\n"
     "Toda escrita de orvictl (e do configurador) num transmissor fica no diário, uma linha JSON por\n"
     "escrita: hora (UTC), usuário, máquina, programa, porta, taxa, endereço, número de série, tag,\n"
     "parâmetro, valor anterior, valor escrito (a taxa em bit/s) e resultado: confirmado (lido de\n"
     "volta igual), não confirmado (lido diferente ou não lido: pode ter sido escrito), sem resposta\n"
     "(pode ter sido escrito), recusado (exceção) ou não enviado. O diário fica em\n"
     "$XDG_STATE_HOME/orvi/journal.jsonl (padrão ~/.local/state/orvi/) no Linux e em\n"
     "%LOCALAPPDATA%\\Tavelo\\journal.jsonl no Windows. Um diário que não pode ser gravado é avisado,\n"
     "e a escrita no transmissor é feita mesmo assim.\n"
     "\n"
     "  --serial S    só as escritas do transmissor de número de série S\n"
     "  --since DATA  só a partir de DATA (UTC): AAAA-MM-DD ou AAAA-MM-DDTHH:MM\n"
     "  --json        as linhas como estão no diário (JSON Lines)\n",
     RunJournal},
    {"report", "grava o relatório de comissionamento (HTML)",
     "Uso: orvictl [opções globais] report [--as-found mA,...] [--measured mA,...] [--instrument TEXTO]\n"
     "                                     [--trend CSV] [--tolerance PCT] [--out ARQUIVO] [--force]\n"
     "\n"
     "Lê o transmissor e grava uma página HTML independente (sem rede nem script; até duas páginas A4):\n"
     "identificação, a configuração como encontrada (pelo diário) e como deixada, os ajustes ZERO e\n"
     "SPAN da saída, a verificação da malha em 0, 25, 50, 75 e 100 % da faixa configurada (corrente\n"
     "esperada pelo tipo de saída, correntes como encontradas e como deixadas, erro em % do span,\n"
     "aprovado ou reprovado) com o instrumento de teste, a atuação do alarme, a tendência do valor do\n"
     "processo de um CSV de monitor e linhas para data, operador e assinatura.\n"
     "\n"
     "  --as-found L      as cinco correntes medidas antes de qualquer ajuste, em mA, como --measured\n"
     "  --measured L      as cinco correntes medidas como deixadas, em mA, de 0 a 100 % (4,8,12,16,20\n"
     "                    ou 4;8,02;12;16;20); sem elas, a coluna fica em branco para anotar à mão\n"
     "  --instrument T    o instrumento de teste: \"nome, série, calibração válida até\", com a data em\n"
     "                    AAAA-MM-DD ou DD/MM/AAAA (uma calibração vencida é marcada e avisada)\n"
     "  --trend CSV       o CSV de orvictl monitor --csv para o gráfico e para a atuação do alarme: o\n"
     "                    valor em que o relé ligou enquanto a entrada era movida, contra o ponto que a\n"
     "                    função de alarme, o set point e a histerese dão. Só valem as linhas deste\n"
     "                    transmissor (endereço e número de série, num CSV de monitor --addresses);\n"
     "                    um CSV sem nenhuma é recusado\n"
     "  --tolerance P     erro aceito em % do span da saída, e em % da faixa na atuação (padrão 0.25)\n"
     "  --out ARQUIVO     onde gravar (padrão: relatorio-NÚMERO_DE_SÉRIE.html)\n"
     "  --force           substitui um relatório que já existe (sem --force, ele não é tocado: código 7)\n"
     "\n"
     "Sai com 1 quando a verificação da malha como deixada (--measured) reprova; o relatório é gravado.\n",
     RunReport},
    {"commission", "põe transmissores novos, um após o outro, nos endereços de uma faixa",
     "Uso: orvictl [opções globais] commission --from A --to B [--config ARQUIVO] [--csv ARQUIVO]\n"
     "\n"
     "Espera um transmissor novo no endereço de fábrica (1), na taxa atual; acha o próximo endereço\n"
     "livre de A a B perguntando na linha (os ocupados são pulados), muda o transmissor para ele\n"
     "(confirmado no endereço novo, como orvictl address), grava nele a configuração de ARQUIVO\n"
     "(como load) e anota o número de série: uma linha por transmissor. Depois espera o próximo,\n"
     "até usar B ou até Ctrl-C. Ligue um transmissor novo por vez: dois no endereço 1 respondem juntos.\n"
     "\n"
     "  --from A, --to B   a faixa de endereços (2 a 247; o 1 é o de fábrica)\n"
     "  --config ARQUIVO   configuração a gravar em cada um (lida e conferida antes de começar)\n"
     "  --csv ARQUIVO      resumo no fim: endereço, número de série e resultado de cada um\n",
     RunCommission},
    {"plant", "a instalação pelo índice de instrumentos: check, commission",
     "Uso: orvictl [opções globais] plant check ÍNDICE [--json | --csv]\n"
     "     orvictl [opções globais] plant commission ÍNDICE --line LINHA [--csv RESUMO]\n"
     "\n"
     "ÍNDICE é o índice de instrumentos em CSV (UTF-8 ou ANSI do Windows, separado por ',' ou ';'), com\n"
     "um cabeçalho que nomeia as colunas em qualquer ordem: tag, linha (a porta: local, tcp://,\n"
     "rfc2217:// ou modbus-tcp://), endereco, taxa e configuracao (um arquivo de save, relativo ao\n"
     "índice); numero_serie, descricao e outras colunas são opcionais. Um índice ou arquivo de\n"
     "configuração com erro para tudo antes de tocar uma linha.\n"
     "\n"
     "plant check lê o transmissor de cada tag e diz se a configuração está como projetada, o que\n"
     "difere (como diff), se não foi encontrado ou se no endereço há outro transmissor (o número de\n"
     "série não é o do índice). As linhas do índice são lidas ao mesmo tempo, uma por vez cada; a\n"
     "saída de cada tag sai inteira, na ordem do índice. Sai com 0 quando todos os tags estão como\n"
     "projetados, 1 quando algo difere, 4 quando algum não respondeu (4 vale mais que 1).\n"
     "  --json, --csv   uma lista com tag, estado (ok, diferente, sem_resposta, outro_transmissor),\n"
     "                  linha, endereco, taxa, numero_serie, as diferenças e o detalhe\n"
     "\n"
     "plant commission espera, na ordem do índice, um transmissor novo no endereço de fábrica (1) da\n"
     "LINHA, na taxa de --baud (padrão 9600); confere a configuração da linha do índice contra ele,\n"
     "confere que o endereço da linha está livre em todas as taxas da linha, muda endereço e taxa\n"
     "(confirmados pelo número de série), grava a configuração e anota o tag no diário. Um\n"
     "transmissor que falha fica marcado no resumo e a sessão segue para o próximo tag (retire-o da\n"
     "linha se ficou no endereço 1). Ctrl-C termina (código 130). Sai com 0 quando todos foram\n"
     "comissionados, senão com o código da primeira falha.\n"
     "  --line LINHA    os tags desta linha (como escrita na coluna linha)\n"
     "  --csv RESUMO    o resumo, uma linha por tag gravada assim que ele termina (padrão:\n"
     "                  comissionamento.csv ao lado do índice; um resumo existente ganha as linhas novas)\n",
     RunPlant},
    {"doctor", "diz a provável causa de uma linha que não responde bem",
     "Uso: orvictl [opções globais] doctor [--address A] [--json]\n"
     "\n"
     "Examina a linha: faz leituras curtas e longas no endereço A (padrão: o de fábrica, 1) na taxa\n"
     "atual e, se ninguém responde, uma pergunta curta em cada uma das outras taxas. Diz a provável\n"
     "causa, o que se viu (eco do pedido inteiro ou cortado, 0x00 antes da resposta, bytes sem pedido,\n"
     "CRC errado, respostas curtas, tempos de resposta, contadores de erro do driver, timer de latência\n"
     "do adaptador USB) e o que fazer. Nada é escrito no transmissor. Numa linha de rede (tcp://,\n"
     "rfc2217://, modbus-tcp://) as outras taxas não são tentadas.\n"
     "\n"
     "  --address A   o endereço a examinar (1 a 247)\n"
     "  --json        o veredito em JSON: causa (saudavel, sem_linha, fios_invertidos, taxa_errada com\n"
     "                taxa, paridade_diferente, eco_do_adaptador, rts_cedo, rts_tarde, sem_polarizacao,\n"
     "                endereco_duplicado, outro_mestre, ruido, resposta_lenta, gateway_sem_caminho,\n"
     "                latencia_usb), evidencia e conselho\n"
     "\n"
     "Sai com 0 quando a linha está saudável, 1 quando uma causa foi apontada, 4 quando nada do que se\n"
     "viu aponta uma causa.\n",
     RunDoctor},
    {"ports", "lista as portas seriais desta máquina",
     "Uso: orvictl ports\n"
     "\n"
     "Lista as portas seriais presentes: no Linux os adaptadores de /dev/serial/by-id, com o\n"
     "dispositivo de cada um (o nome a dar a --port); no Windows a lista SERIALCOMM (COM1, COM3...).\n"
     "Sai com 3 quando não há nenhuma.\n",
     RunPorts},
};

const int kCommandCount = sizeof kCommands / sizeof kCommands[0];

int UsageError(const char* command, const std::string& problem) {
    Complain(Format("%s: %s (veja orvictl %s --help)", command, problem.c_str(), command));
    return kExitUsage;
}
