// The side bar: groups of items; the item shown is marked as the current page, a disabled item
// is announced as such and does nothing.

import { h, on } from "./dom.js";
import type { SideBarState } from "./protocol.js";
import { registerRenderer, type RenderContext } from "./renderers.js";

export function renderSideBar(sideBar: SideBarState, context: RenderContext): HTMLElement {
    const nav = h("nav", { class: "side-bar", "data-sidebar": sideBar.name, "aria-label": "Pagine" });
    for (const group of sideBar.groups) {
        const list = h("ul", {});
        for (const item of group.items) {
            const button = h(
                "button",
                {
                    type: "button",
                    "data-item": item.key,
                    "aria-disabled": item.enabled ? null : "true",
                    "aria-current": item.current ? "page" : null,
                },
                item.caption,
            );
            on(button, "click", () => {
                if (item.enabled && !item.current) {
                    context.send({ type: "clickItem", item: item.key });
                }
            });
            list.append(h("li", {}, button));
        }
        nav.append(h("section", { "data-group": group.key }, h("h3", {}, group.caption), list));
    }
    return nav;
}

registerRenderer("sideBar", renderSideBar);
