// What the inventory's sweep makes of the replies it hears.
#include "line_sweep.h"

#include "text_convert.h"

bool CollidingReplies(LinkError error) {
    return error == kLinkBadCrc || error == kLinkWrongAddress || error == kLinkBadByteCount ||
           error == kLinkBadFunction;
}

std::string UnconfirmedSweepText(int addresses) {
    return Format(
        "aviso: %d endereço(s) soaram na busca curta, mas a leitura normal não os confirmou "
        "(respostas atrasadas ou ruído)",
        addresses);
}
