// Made by a shard's addon generator; hand-touched since.
using System;
using Server;
using Server.Items;

namespace Server.Items
{
	public class GatehouseAddon : BaseAddon
	{
		private static int[,] m_AddOnSimpleComponents = new int[,] {
			  {1801, 0, 0, 0}, {0x0710, -1, 2, 5}// 2	3
			, {1802, /* moved */ 3, -4, 20}
		};

		public override BaseAddonDeed Deed { get { return new GatehouseAddonDeed(); } }

		[ Constructable ]
		public GatehouseAddon()
		{
			for (int i = 0; i < m_AddOnSimpleComponents.Length / 4; i++)
				AddComponent( new AddonComponent( m_AddOnSimpleComponents[i,0] ), m_AddOnSimpleComponents[i,1], m_AddOnSimpleComponents[i,2], m_AddOnSimpleComponents[i,3] );

			AddComplexComponent( (BaseAddon) this, 4012, 1, 1, 0, 1153, -1 ); // brazier
			AddComplexComponent( (BaseAddon)this, 0x0B1A, -2, 0, 7, 0x0481, 1 );
		}

		public GatehouseAddon( Serial serial ) : base( serial ) { }

		private static void AddComplexComponent(BaseAddon addon, int item, int xoffset, int yoffset, int zoffset, int hue, int lightsource)
		{
			AddComplexComponent(addon, item, xoffset, yoffset, zoffset, hue, lightsource, null, 1);
		}

		private static void AddComplexComponent(BaseAddon addon, int item, int xoffset, int yoffset, int zoffset, int hue, int lightsource, string name, int amount)
		{
			AddonComponent ac;
			ac = new AddonComponent(item);
			if (name != null && name.Length > 0)
				ac.Name = name;
			if (hue != 0)
				ac.Hue = hue;
			if (amount > 1) { ac.Stackable = true; ac.Amount = amount; }
			if (lightsource != -1)
				ac.Light = (LightType) lightsource;
			addon.AddComponent(ac, xoffset, yoffset, zoffset);
		}

		public override void Serialize( GenericWriter writer ) { base.Serialize( writer ); writer.Write( 0 ); }
		public override void Deserialize( GenericReader reader ) { base.Deserialize( reader ); int version = reader.ReadInt(); }
	}

	public class GatehouseAddonDeed : BaseAddonDeed
	{
		public override BaseAddon Addon { get { return new GatehouseAddon(); } }
		[Constructable]
		public GatehouseAddonDeed() { Name = "Gatehouse {not code}"; }
		public GatehouseAddonDeed( Serial serial ) : base( serial ) { }
	}
}
