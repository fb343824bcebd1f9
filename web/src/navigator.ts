// A record navigation bar of the window (first, previous, next, last, open, new, delete, back,
// forward).

import { h, on } from "./dom.js";
import type { NavigatorState } from "./protocol.js";
import { registerRenderer, type RenderContext } from "./renderers.js";

const symbols: Record<string, string> = {
    primo: "|◀",
    precedente: "◀",
    successivo: "▶",
    ultimo: "▶|",
    apri: "Apri",
    nuovo: "+",
    elimina: "✕",
    indietro: "↶",
    avanti: "↷",
};

export function renderNavigator(bar: NavigatorState, context: RenderContext): HTMLElement {
    const toolbar = h("div", { class: "grid-nav", role: "toolbar", "data-gridnav-bar": bar.name, "aria-label": bar.name });
    toolbar.hidden = !bar.visible;
    for (const button of bar.buttons) {
        const element = h(
            "button",
            {
                type: "button",
                "data-gridnav": bar.name,
                "data-button": button.key,
                title: button.caption,
                "aria-label": button.caption,
                disabled: !button.enabled,
            },
            symbols[button.key] ?? button.caption,
        );
        on(element, "click", () =>
            context.send({ type: "navigatorButton", bar: bar.name, button: button.key }),
        );
        toolbar.append(element);
    }
    return toolbar;
}

registerRenderer("navigator", renderNavigator);
