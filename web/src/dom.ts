// A small element builder: h("button", { "data-answer": "6" }, "Sì").

type AttributeValue = string | number | boolean | null | undefined;

export function h<K extends keyof HTMLElementTagNameMap>(
    tag: K,
    attributes: Record<string, AttributeValue> = {},
    ...children: (Node | string | null | undefined)[]
): HTMLElementTagNameMap[K] {
    const element = document.createElement(tag);
    for (const [name, value] of Object.entries(attributes)) {
        if (value === false || value === null || value === undefined) {
            continue;
        }
        element.setAttribute(name, value === true ? "" : String(value));
    }
    for (const child of children) {
        if (child !== null && child !== undefined) {
            element.append(child);
        }
    }
    return element;
}

let nextId = 0;

export function uniqueId(prefix: string): string {
    nextId += 1;
    return `${prefix}-${nextId}`;
}
