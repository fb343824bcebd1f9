// A frame of controls: a fieldset with its caption as legend, the controls in tab order.

import { h } from "./dom.js";
import type { FrameState } from "./protocol.js";
import { registerRenderer, renderControl, type RenderContext } from "./renderers.js";

export function renderFrame(frame: FrameState, context: RenderContext): HTMLElement {
    const fieldset = h("fieldset", { class: "frame", "data-frame": frame.name });
    fieldset.hidden = frame.visible === false;
    if (frame.caption) {
        fieldset.append(h("legend", {}, frame.caption));
    }
    for (const control of frame.controls) {
        fieldset.append(renderControl(control, context));
    }
    return fieldset;
}

registerRenderer("frame", renderFrame);
